#include <QListView>
#include <QTest>

#include "DebugViewsFixture.h"
#include "TFormCallStack.h"

namespace {

class CallStackTest : public DebugViewsTest {
protected:
    void SetUp() override
    {
        DebugViewsTest::SetUp();
        script.enabledViews = {tolvane::kViewCallStack};
        script.callStack = {{"main", 0x120}, {"delay", 0x200}, {"inner loop", 0x204}};
        script.lineAddresses[{"/src/delay.asm", 7}] = 0x200;
    }
    TFormCallStack* open()
    {
        auto* form = new TFormCallStack(&window, host, QRect(0, 0, 300, 300), TDockableForm::kDockRight);
        settle();
        return form;
    }
    static QStringList frames(TFormCallStack& form)
    {
        QStringList shown;
        for (int row = 0; row < form.model().rowCount(); ++row)
            shown << form.model().index(row).data().toString();
        return shown;
    }
    static void doubleClick(TFormCallStack& form, int row)
    {
        const QPoint at = form.list()->visualRect(form.model().index(row)).center();
        QTest::mouseClick(form.list()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(form.list()->viewport(), Qt::LeftButton, {}, at);
    }
};

TEST_F(CallStackTest, FramesAreListedAndADoubleClickShowsTheFramesLine)
{
    TFormCallStack* form = open();
    EXPECT_EQ(frames(*form), QStringList({"main", "delay", "inner loop"}));

    doubleClick(*form, 1);
    EXPECT_EQ(host.sourceLines, QStringList{"/src/delay.asm:7"});
    EXPECT_EQ(callsOf("AddressToLine"), std::vector<std::string>{"AddressToLine 512"});

    // A frame the device maps to no line shows none.
    doubleClick(*form, 0);
    EXPECT_EQ(host.sourceLines.size(), 1);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(CallStackTest, AFailedCallStackLeavesAnEmptyListWithoutAMessage)
{
    TFormCallStack* form = open();
    script.callStackResult = tolvane::kStatusFailed;
    form->RefreshView();
    EXPECT_EQ(form->model().rowCount(), 0);
    EXPECT_TRUE(boxes.boxes.empty());

    script.callStackResult = tolvane::kStatusDone;
    script.callStack.pop_back();
    form->RefreshView();
    EXPECT_EQ(frames(*form), QStringList({"main", "delay"}));

    // A wild count is bounded like the other windows' lists.
    script.callStack.assign(70000, FakeFrame{"frame", 0x100});
    form->RefreshView();
    EXPECT_EQ(form->model().rowCount(), 65536);
}

}  // namespace
