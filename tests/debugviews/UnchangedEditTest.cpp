// An in-place editor opened on a value and left without a change writes
// nothing and reports nothing, whatever the cell shows: a word of memory, a
// register, a signed variable, a watch the device does not report, or a word
// whose page could not be read.
#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <QTest>
#include <functional>

#include "DebugViewsFixture.h"
#include "TFormMemory.h"
#include "TFormRegisters.h"
#include "TFormVariables.h"
#include "TFormWatches.h"

namespace {

class UnchangedEditTest : public DebugViewsTest {
protected:
    void SetUp() override
    {
        DebugViewsTest::SetUp();
        script.enabledViews = {tolvane::kViewMemory, tolvane::kViewRegisters, tolvane::kViewVariables,
                               tolvane::kViewWatches};
        script.banks = {{"Data", 0, 16, {0x12, 0x34, 0x56}, false}};
        script.registers = {{"A0", 0x12, 16, 0x10}};
        script.variables = {{"minus", 0xFF, 8, 0x10, true}};
    }
};

// The window's grid and the column of the cell to edit in its first row.
struct Opened {
    QTableView* grid;
    int column;
};

TEST_F(UnchangedEditTest, LeavingTheEditorWithoutAChangeWritesNothing)
{
    const struct {
        const char* what;
        std::function<Opened(QMainWindow*, DebugViewHost&)> open;
        QString shown;
    } cases[] = {
        {"memory word",
         [](QMainWindow* owner, DebugViewHost& host) {
             auto* form = new TFormMemory(owner, host, QRect(0, 0, 700, 400), TDockableForm::kFloat);
             return Opened{form->grid(), 1};
         },
         "0034"},
        {"register",
         [](QMainWindow* owner, DebugViewHost& host) {
             auto* form = new TFormRegisters(owner, host, QRect(0, 0, 500, 300), TDockableForm::kFloat);
             return Opened{form->grid(), ValueGridModel::Hexadecimal};
         },
         "0012"},
        {"signed variable",
         [](QMainWindow* owner, DebugViewHost& host) {
             auto* form = new TFormVariables(owner, host, QRect(0, 0, 500, 300), TDockableForm::kFloat);
             return Opened{form->grid(), ValueGridModel::Decimal};
         },
         "-1"},
        {"watch not in scope",
         [](QMainWindow* owner, DebugViewHost& host) {
             auto* form = new TFormWatches(owner, host, QRect(0, 0, 500, 300), TDockableForm::kFloat);
             form->AddWatchRow(QStringLiteral("gone"));
             return Opened{form->grid(), ValueGridModel::Decimal};
         },
         "N/A"},
        {"word never read",
         [this](QMainWindow* owner, DebugViewHost& host) {
             script.readMemoryResult = tolvane::kStatusFailed;
             auto* form = new TFormMemory(owner, host, QRect(0, 0, 700, 400), TDockableForm::kFloat);
             return Opened{form->grid(), 1};
         },
         ""},
    };
    for (const auto& edit : cases) {
        const Opened opened = edit.open(&window, host);
        settle();
        QTableView& grid = *opened.grid;
        const QModelIndex index = grid.model()->index(0, opened.column);
        const QPoint cell = grid.visualRect(index).center();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell);
        settle();
        const QPointer<QLineEdit> editor = grid.viewport()->findChild<QLineEdit*>();
        ASSERT_TRUE(editor && editor->isVisible()) << edit.what;
        EXPECT_EQ(editor->text(), edit.shown) << edit.what;
        script.takeCalls();
        host.refreshes = 0;
        // Away to another cell: the editor closes and commits.
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(index.siblingAtColumn(0)).center());
        settle();
        EXPECT_TRUE(!editor || !editor->isVisible()) << edit.what;
        for (const std::string& call : script.takeCalls())
            EXPECT_TRUE(call.rfind("Set", 0) != 0 && call.rfind("Write", 0) != 0) << edit.what << ": " << call;
        EXPECT_EQ(boxTexts(), std::vector<std::string>{}) << edit.what;
        EXPECT_EQ(host.refreshes, 0) << edit.what;
        qDeleteAll(window.findChildren<QDockWidget*>());
    }
}

}  // namespace
