// A device that does not offer a view: the window shows only "Data is not
// accessible." and asks the device nothing else; once the view is offered,
// the next refresh reads it.
#include "DebugViewsFixture.h"
#include "TFormCallStack.h"
#include "TFormStatistics.h"
#include "TFormTrace.h"
#include "TFormVariables.h"
#include "TFormWatches.h"

namespace {

template <class Form>
TDockableForm* make(QMainWindow& owner, DebugViewHost& host)
{
    return new Form(&owner, host, QRect(0, 0, 400, 300), TDockableForm::kDockRight);
}

using DeclinedViewsTest = DebugViewsTest;

TEST_F(DeclinedViewsTest, AWindowWhoseViewIsDeclinedAsksTheDeviceNothingElse)
{
    script.callStack = {{"main", 0x100}};
    script.cycleCount = 12;
    script.traceSize = 20;
    script.variables = {{"count", 3, 8, 0x10, false}};
    const struct {
        int view;
        TDockableForm* (*make)(QMainWindow&, DebugViewHost&);
        const char* read;  // a call the refresh makes once the view is offered
    } windows[] = {
        {tolvane::kViewCallStack, make<TFormCallStack>, "GetCallStack"},
        {tolvane::kViewStatistics, make<TFormStatistics>, "GetCycleCount"},
        {tolvane::kViewTrace, make<TFormTrace>, "GetTraceInfo"},
        {tolvane::kViewVariables, make<TFormVariables>, "GetVariableCount"},
        {tolvane::kViewWatches, make<TFormWatches>, "GetVariableCount"},
    };
    for (const auto& window : windows) {
        script.enabledViews.clear();
        script.takeCalls();
        TDockableForm* form = window.make(this->window, host);
        settle();
        form->RefreshView();
        const std::string asked = "IsViewEnabled " + std::to_string(window.view);
        for (const std::string& call : script.takeCalls())
            EXPECT_EQ(call, asked) << window.read;
        EXPECT_TRUE(showsNotAccessible(*form)) << window.read;

        script.enabledViews = {window.view};
        form->RefreshView();
        EXPECT_FALSE(showsNotAccessible(*form)) << window.read;
        EXPECT_EQ(callsOf(window.read).size(), 1u) << window.read;
        delete form;
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
