#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include "DebugViewsFixture.h"
#include "GridEditing.h"
#include "TDialogAddWatch.h"
#include "TFormWatches.h"

namespace {

using Kind = ValueGridModel::Kind;

class WatchesTest : public DebugViewsTest {
protected:
    void SetUp() override
    {
        DebugViewsTest::SetUp();
        script.enabledViews = {tolvane::kViewWatches};
        script.variables = {
            {"count", 0xFF, 8, 0x10, true},
            {"limit", 300, 16, 0x11, false},
            {"hidden", 1, 8, 0x12, false, tolvane::kStatusFailed},
        };
    }
    TFormWatches* open()
    {
        auto* form = new TFormWatches(&window, host, QRect(0, 0, 500, 300), TDockableForm::kDockRight);
        host.onRefresh = [form] { form->RefreshView(); };
        settle();
        return form;
    }
    static QStringList row(TFormWatches& form, int row)
    {
        QStringList cells;
        for (int kind = 0; kind < ValueGridModel::KindCount; ++kind)
            cells << form.model().index(row, kind).data().toString();
        return cells;
    }
    static const QStringList notAvailable(const char* name) { return {name, "N/A", "N/A", "N/A", "N/A"}; }
};

TEST_F(WatchesTest, OnlyTheFirstWatchOfANameAndOnlyItsExactSpellingHaveValues)
{
    TFormWatches* form = open();
    EXPECT_EQ(form->model().rowCount(), 0);
    for (const char* name : {"count", "count", "Count", "gone", "limit", "hidden"})
        form->AddWatchRow(QString::fromLatin1(name));
    ASSERT_EQ(form->model().rowCount(), 6);
    EXPECT_EQ(row(*form, 0), QStringList({"count", "-1", "FF", "11111111", "0x0010"}));
    EXPECT_EQ(row(*form, 1), notAvailable("count"));
    EXPECT_EQ(row(*form, 2), notAvailable("Count"));
    EXPECT_EQ(row(*form, 3), notAvailable("gone"));
    EXPECT_EQ(row(*form, 4), QStringList({"limit", "300", "012C", "100101100", "0x0011"}));
    // A variable the device does not describe is not matched.
    EXPECT_EQ(row(*form, 5), notAvailable("hidden"));
    EXPECT_EQ(form->model().deviceIndex(4), 1);

    // Each refresh matches again: a watch goes to "N/A" and back.
    script.variables.erase(script.variables.begin());
    form->RefreshView();
    EXPECT_EQ(row(*form, 0), notAvailable("count"));
    EXPECT_EQ(form->model().deviceIndex(4), 0);
    script.variables.push_back({"gone", 5, 8, 0x20, false});
    form->RefreshView();
    EXPECT_EQ(row(*form, 3), QStringList({"gone", "5", "05", "101", "0x0020"}));
}

TEST_F(WatchesTest, TheTitleRowIsNeverEditableWithOrWithoutWatches)
{
    TFormWatches* form = open();
    VariableGridModel& model = form->model();
    const auto tryTitleEdits = [&] {
        for (int kind = 0; kind < ValueGridModel::KindCount; ++kind) {
            EXPECT_FALSE(model.setData(model.index(-1, kind), QStringLiteral("5")));
            EXPECT_FALSE(model.setData(model.index(model.rowCount(), kind), QStringLiteral("5")));
            EXPECT_FALSE(model.flags(model.index(-1, kind)) & Qt::ItemIsEditable);
        }
        EXPECT_EQ(model.headerData(ValueGridModel::Decimal, Qt::Horizontal).toString(), "Dec");
    };
    tryTitleEdits();
    EXPECT_FALSE(typeIntoCell(*form->grid(), model.index(0, ValueGridModel::Decimal), "5"));
    form->AddWatchRow(QStringLiteral("count"));
    tryTitleEdits();
    form->grid()->setCurrentIndex(model.index(0, 0));
    form->removeWatchAction()->trigger();
    EXPECT_EQ(model.rowCount(), 0);
    tryTitleEdits();
    EXPECT_TRUE(callsOf("SetVariable").empty());
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(WatchesTest, AWatchOutOfScopeIsNotWrittenAndOneInScopeIs)
{
    TFormWatches* form = open();
    form->AddWatchRow(QStringLiteral("limit"));
    form->AddWatchRow(QStringLiteral("gone"));
    const struct {
        int row;
        Kind kind;
        const char* typed;
        const char* written;
        const char* box;
    } edits[] = {
        {0, ValueGridModel::Hexadecimal, "7F", "SetVariable 1 127", nullptr},
        {1, ValueGridModel::Decimal, "3", nullptr, "Cannot set the value of a variable that is not is scope."},
        // The text is read first.
        {1, ValueGridModel::Binary, "2", nullptr, "2 is not a valid value."},
        {0, ValueGridModel::Decimal, "4294967296", nullptr, "4294967296 is not a valid value."},
    };
    for (const auto& edit : edits) {
        callsOf("");
        ASSERT_TRUE(typeIntoCell(*form->grid(), form->model().index(edit.row, edit.kind), edit.typed));
        EXPECT_EQ(callsOf("SetVariable"),
                  edit.written ? std::vector<std::string>{edit.written} : std::vector<std::string>{})
            << edit.typed;
        EXPECT_EQ(boxTexts(), edit.box ? std::vector<std::string>{edit.box} : std::vector<std::string>{}) << edit.typed;
    }
    EXPECT_EQ(row(*form, 0)[ValueGridModel::Decimal], "127");
}

TEST_F(WatchesTest, AddWatchOffersTheDevicesNamesAndRemoveSelectedTakesTheRow)
{
    TFormWatches* form = open();
    QStringList offered;
    std::optional<QString> answer;
    form->setNameChooser([&](const QStringList& names) {
        offered = names;
        return answer;
    });
    // Cancel, or OK with no name, adds nothing.
    for (const std::optional<QString>& nothing : {std::optional<QString>(), std::optional<QString>(QString())}) {
        answer = nothing;
        form->addWatchAction()->trigger();
        EXPECT_EQ(form->model().rowCount(), 0);
    }
    EXPECT_EQ(offered, QStringList({"count", "limit"}));
    for (const char* name : {"limit", "nowhere", "count"}) {
        answer = QString::fromLatin1(name);
        form->addWatchAction()->trigger();
    }
    ASSERT_EQ(form->model().rowCount(), 3);
    EXPECT_EQ(row(*form, 1), notAvailable("nowhere"));

    form->grid()->setCurrentIndex(QModelIndex());
    form->removeWatchAction()->trigger();
    EXPECT_EQ(form->model().rowCount(), 3);
    form->grid()->setCurrentIndex(form->model().index(1, ValueGridModel::Hexadecimal));
    form->removeWatchAction()->trigger();
    ASSERT_EQ(form->model().rowCount(), 2);
    EXPECT_EQ(row(*form, 1)[ValueGridModel::Name], "count");
    EXPECT_EQ(row(*form, 1)[ValueGridModel::Decimal], "-1");
}

TEST_F(WatchesTest, TheAddWatchDialogListsTheNamesAndGivesTheTypedOne)
{
    TFormWatches* form = open();
    const auto answerDialog = [](const QString& typed, bool ok) {
        QTimer::singleShot(0, [=] {
            auto* dialog = qobject_cast<TDialogAddWatch*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), "Add Watch");
            EXPECT_NE(dialog->findChild<QLabel*>(), nullptr);
            EXPECT_EQ(dialog->findChild<QLabel*>()->text(), "Enter a variable name or select from the list.");
            QComboBox* combo = dialog->comboBox();
            EXPECT_TRUE(combo->isEditable());
            EXPECT_EQ(combo->currentText(), "");
            QStringList listed;
            for (int i = 0; i < combo->count(); ++i)
                listed << combo->itemText(i);
            EXPECT_EQ(listed, QStringList({"count", "limit"}));
            combo->setEditText(typed);
            for (QPushButton* button : dialog->findChildren<QPushButton*>())
                if (button->text() == (ok ? "OK" : "Cancel"))
                    button->click();
        });
    };
    answerDialog(QStringLiteral("limit"), false);
    form->addWatchAction()->trigger();
    EXPECT_EQ(form->model().rowCount(), 0);
    answerDialog(QStringLiteral("limit"), true);
    form->addWatchAction()->trigger();
    ASSERT_EQ(form->model().rowCount(), 1);
    EXPECT_EQ(row(*form, 0)[ValueGridModel::Decimal], "300");
}

}  // namespace
