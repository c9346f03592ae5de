#include <cmath>
#include <limits>

#include "DebugViewsFixture.h"
#include "ElapsedTime.h"
#include "TFormStatistics.h"

namespace {

TEST(ElapsedTime, TheUnitFollowsTheSizeAndTimesNoClockGivesAreRefused)
{
    const float infinity = std::numeric_limits<float>::infinity();
    const struct {
        float microseconds;
        const char* shown;  // none: refused
    } cases[] = {
        {0.0f, "0.000 microseconds"},
        {-0.0f, "0.000 microseconds"},
        {999.5f, "999.500 microseconds"},
        {1000.0f, "1.000 milliseconds"},
        {123456.0f, "123.456 milliseconds"},
        {999999.0f, "999.999 milliseconds"},
        {1000000.0f, "00:00:01.000"},
        {3723004416.0f, "01:02:03.004"},
        // 2 to the 39th: more than 99 hours take as many digits as they need.
        {549755813888.0f, "152:42:35.813"},
        {std::nanf(""), nullptr},
        {infinity, nullptr},
        {-infinity, nullptr},
        {-1.0f, nullptr},
        // Milliseconds past 64 bits.
        {2e22f, nullptr},
        {std::numeric_limits<float>::max(), nullptr},
    };
    for (const auto& time : cases) {
        const std::optional<QString> shown = elapsedTimeText(time.microseconds);
        if (time.shown)
            EXPECT_EQ(shown, QString::fromLatin1(time.shown)) << time.microseconds;
        else
            EXPECT_FALSE(shown) << time.microseconds << " shown as " << shown->toStdString();
    }
}

class StatisticsTest : public DebugViewsTest {
protected:
    void SetUp() override
    {
        DebugViewsTest::SetUp();
        script.enabledViews = {tolvane::kViewStatistics};
        script.cycleCount = 18446744073709551615ull;
        script.elapsedMicroseconds = 3723004416.0f;
    }
};

TEST_F(StatisticsTest, PanelsShowTheCountAndTheTimeAndKeepThemWhenTheDeviceFails)
{
    auto* form = new TFormStatistics(&window, host, QRect(0, 0, 400, 100), TDockableForm::kDockBottom);
    settle();
    EXPECT_EQ(form->machineCyclesText(), "18446744073709551615");
    EXPECT_EQ(form->executionTimeText(), "01:02:03.004");

    script.cycleCount = 7;
    script.elapsedMicroseconds = 5;
    script.cycleCountResult = tolvane::kStatusFailed;
    callsOf("");
    form->RefreshView();
    EXPECT_TRUE(callsOf("GetElapsedTime").empty());
    script.cycleCountResult = tolvane::kStatusDone;
    script.elapsedTimeResult = tolvane::kStatusFailed;
    form->RefreshView();
    EXPECT_EQ(form->machineCyclesText(), "18446744073709551615");
    EXPECT_EQ(form->executionTimeText(), "01:02:03.004");

    // A time no clock gives counts as a failure: neither panel changes.
    script.elapsedTimeResult = tolvane::kStatusDone;
    for (float wild : {std::nanf(""), std::numeric_limits<float>::infinity(), -250.0f, 1e30f}) {
        script.elapsedMicroseconds = wild;
        form->RefreshView();
        EXPECT_EQ(form->machineCyclesText(), "18446744073709551615") << wild;
        EXPECT_EQ(form->executionTimeText(), "01:02:03.004") << wild;
    }
    script.elapsedMicroseconds = 5;
    form->RefreshView();
    EXPECT_EQ(form->machineCyclesText(), "7");
    EXPECT_EQ(form->executionTimeText(), "5.000 microseconds");
    EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
