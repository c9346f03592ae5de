#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <gtest/gtest.h>

#include "DecliningDevice.h"
#include "TDockableForm.h"

namespace {

class CountingDevice : public DecliningDevice {
public:
    int reads = 0;
    bool enabled = true;
    bool IsViewEnabled(int) override
    {
        ++reads;
        return enabled;
    }
};

// A tool window that reads the device on refresh, as the debug windows do.
class ReadingWindow : public TDockableForm {
public:
    ReadingWindow(QMainWindow* owner, int placement, AbstractDevice& device, const QString& caption)
        : TDockableForm(owner, true, std::nullopt, placement, caption), device_(device)
    {
        SetContent(new QLabel(QStringLiteral("data"), this));
        Place(placement, std::nullopt);
    }
    void RefreshView() override
    {
        if (!BeginRefresh())
            return;
        CheckViewEnabled(&device_, 24);
    }
    using TDockableForm::DataNotAccessible;

private:
    AbstractDevice& device_;
};

class DockingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_.resize(1000, 700);
        window_.show();
    }
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }

    QMainWindow window_;
    CountingDevice device_;
};

TEST_F(DockingTest, PlacementCodesArePlacedAndReportedBack)
{
    const QRect rect(40, 50, 260, 170);
    for (int code = 8; code <= 15; ++code) {
        auto* form = new TDockableForm(&window_, false, rect, code, QString::number(code));
        settle();
        EXPECT_EQ(form->Placement(), code) << code;
        EXPECT_EQ(form->isHidden(), code == TDockableForm::kFloatHidden) << code;
        if (code >= TDockableForm::kFloat) {
            EXPECT_EQ(form->PlacementRect(), rect) << code;
        }
        // Placing again moves the window out of its dock site first.
        form->Place(TDockableForm::kFloat, QRect(5, 5, 100, 100));
        EXPECT_EQ(form->Placement(), TDockableForm::kFloat) << code;
        delete form;
    }
}

TEST_F(DockingTest, AHiddenWindowShownLaterStaysFloating)
{
    TDockableForm form(&window_, false, QRect(0, 0, 200, 200), TDockableForm::kFloatHidden, "hidden");
    EXPECT_TRUE(form.isHidden());
    form.ShowInPage();
    EXPECT_TRUE(form.isFloating());
    EXPECT_EQ(form.Placement(), TDockableForm::kFloat);
}

TEST_F(DockingTest, WindowsInOneDockSiteShareItAsTabs)
{
    ReadingWindow first(&window_, TDockableForm::kDockRight, device_, "first");
    ReadingWindow second(&window_, TDockableForm::kDockRight, device_, "second");
    settle();
    EXPECT_TRUE(window_.tabifiedDockWidgets(&first).contains(&second));
    EXPECT_EQ(second.Placement(), TDockableForm::kDockRight);
}

TEST_F(DockingTest, AWindowBehindAnotherTabReadsNothingUntilRaised)
{
    ReadingWindow front(&window_, TDockableForm::kDockBottom, device_, "front");
    ReadingWindow behind(&window_, TDockableForm::kDockBottom, device_, "behind");
    front.ShowInPage();
    settle();
    ASSERT_TRUE(front.IsShowing());
    ASSERT_FALSE(behind.IsShowing());

    device_.reads = 0;
    front.RefreshView();
    behind.RefreshView();
    EXPECT_EQ(device_.reads, 1);
    EXPECT_TRUE(behind.RefreshPending());
    EXPECT_FALSE(front.RefreshPending());

    behind.ShowInPage();
    settle();
    EXPECT_EQ(device_.reads, 2);
    EXPECT_FALSE(behind.RefreshPending());
}

TEST_F(DockingTest, AMinimisedOrHiddenFloatingWindowCatchesUpWhenShown)
{
    ReadingWindow form(&window_, TDockableForm::kFloatHidden, device_, "floating");
    device_.reads = 0;
    form.RefreshView();
    EXPECT_EQ(device_.reads, 0);
    form.Place(TDockableForm::kFloat, QRect(10, 10, 200, 150));
    settle();
    EXPECT_EQ(device_.reads, 1);

    form.Place(TDockableForm::kFloatMinimised, QRect(10, 10, 200, 150));
    settle();
    form.RefreshView();
    EXPECT_EQ(device_.reads, 1);
    form.showNormal();
    settle();
    EXPECT_EQ(device_.reads, 2);
}

TEST_F(DockingTest, AViewTheDeviceDeclinesShowsThatNoDataIsAccessible)
{
    ReadingWindow form(&window_, TDockableForm::kDockLeft, device_, "view");
    settle();
    device_.enabled = false;
    form.RefreshView();
    EXPECT_TRUE(form.DataNotAccessible());
    auto* label = form.findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    device_.enabled = true;
    form.RefreshView();
    EXPECT_FALSE(form.DataNotAccessible());
}

}  // namespace
