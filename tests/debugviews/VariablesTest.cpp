#include <QAction>
#include <QHeaderView>
#include <QTableView>

#include "DebugViewsFixture.h"
#include "GridEditing.h"
#include "TFormVariables.h"

namespace {

using Kind = ValueGridModel::Kind;

class VariablesTest : public DebugViewsTest {
protected:
    void SetUp() override
    {
        DebugViewsTest::SetUp();
        script.enabledViews = {tolvane::kViewVariables};
        script.variables = {
            {"s8", 0xFF, 8, 0x10, true},
            {"u8", 0xFF, 8, 0x11, false},
            {"u32", 0xFFFFFFFF, 32, 0x12, false},
            {"s32", 0x80000000, 32, 0x13, true},
            // Bits above the width do not show.
            {"s16", 0x12348000, 16, 0x14, true},
            {"u12", 0xABC, 12, 0x1234, false},
            {"zero", 0, 8, 0x15, true},
        };
    }
    Shown<TFormVariables>* open()
    {
        auto* form = new Shown<TFormVariables>(&window, host, QRect(0, 0, 500, 300), TDockableForm::kDockRight);
        host.onRefresh = [form] { form->RefreshView(); };
        settle();
        return form;
    }
    static QString cell(TFormVariables& form, int row, Kind kind)
    {
        return form.model().index(row, kind).data().toString();
    }
};

TEST_F(VariablesTest, ValuesShowByWidthAndSign)
{
    Shown<TFormVariables>* form = open();
    EXPECT_FALSE(form->DataNotAccessible());
    ASSERT_EQ(form->model().rowCount(), 7);
    const struct {
        int row;
        const char* dec;
        const char* hex;
        const char* bin;
        const char* address;
    } rows[] = {
        {0, "-1", "FF", "11111111", "0x0010"},
        {1, "255", "FF", "11111111", "0x0011"},
        {2, "4294967295", "FFFFFFFF", "11111111111111111111111111111111", "0x0012"},
        {3, "-2147483648", "80000000", "10000000000000000000000000000000", "0x0013"},
        {4, "-32768", "8000", "1000000000000000", "0x0014"},
        {5, "2748", "ABC", "101010111100", "0x1234"},
        {6, "0", "00", "0", "0x0015"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(cell(*form, row.row, ValueGridModel::Decimal), row.dec) << row.row;
        EXPECT_EQ(cell(*form, row.row, ValueGridModel::Hexadecimal), row.hex) << row.row;
        EXPECT_EQ(cell(*form, row.row, ValueGridModel::Binary), row.bin) << row.row;
        EXPECT_EQ(cell(*form, row.row, ValueGridModel::Address), row.address) << row.row;
    }
    EXPECT_EQ(cell(*form, 0, ValueGridModel::Name), "s8");
    EXPECT_EQ(form->model().headerData(ValueGridModel::Name, Qt::Horizontal).toString(), "Variable");
    for (Kind fixed : {ValueGridModel::Name, ValueGridModel::Address})
        EXPECT_FALSE(form->model().flags(form->model().index(0, fixed)) & Qt::ItemIsEditable);
    EXPECT_TRUE(form->model().flags(form->model().index(0, ValueGridModel::Binary)) & Qt::ItemIsEditable);

    // A variable the device does not describe keeps its row; a shorter list drops rows.
    script.variables[0].value = 1;
    script.variables[0].result = tolvane::kStatusFailed;
    script.variables.resize(3);
    form->RefreshView();
    ASSERT_EQ(form->model().rowCount(), 3);
    EXPECT_EQ(cell(*form, 0, ValueGridModel::Decimal), "-1");

    script.variables.clear();
    form->RefreshView();
    EXPECT_EQ(form->model().rowCount(), 0);
}

TEST_F(VariablesTest, TypedValuesAreReadByTheirColumnAndRefusedPastThirtyTwoBits)
{
    Shown<TFormVariables>* form = open();
    const struct {
        Kind kind;
        const char* typed;
        const char* written;  // the SetVariable call, or none
        const char* box;      // the message, or none
    } edits[] = {
        {ValueGridModel::Hexadecimal, "0x1F", "SetVariable 1 31", nullptr},
        {ValueGridModel::Hexadecimal, "1f", "SetVariable 1 31", nullptr},
        {ValueGridModel::Hexadecimal, "0X1F", nullptr, "0X1F is not a valid value."},
        {ValueGridModel::Hexadecimal, "0xZZ", nullptr, "ZZ is not a valid value."},
        {ValueGridModel::Decimal, "-5", nullptr, "-5 is not a valid value."},
        {ValueGridModel::Decimal, "1F", nullptr, "1F is not a valid value."},
        {ValueGridModel::Binary, "101", "SetVariable 1 5", nullptr},
        {ValueGridModel::Binary, "102", nullptr, "102 is not a valid value."},
        {ValueGridModel::Decimal, "", "SetVariable 1 0", nullptr},
        {ValueGridModel::Decimal, "4294967295", "SetVariable 1 4294967295", nullptr},
        // Past 32 bits the low bits would be written: refused instead.
        {ValueGridModel::Decimal, "4294967296", nullptr, "4294967296 is not a valid value."},
        {ValueGridModel::Hexadecimal, "0x100000001", nullptr, "100000001 is not a valid value."},
        {ValueGridModel::Decimal, "99999999999999999999", nullptr, "99999999999999999999 is not a valid value."},
    };
    for (const auto& edit : edits) {
        callsOf("");
        host.refreshes = 0;
        ASSERT_TRUE(typeIntoCell(*form->grid(), form->model().index(1, edit.kind), edit.typed));
        EXPECT_EQ(callsOf("SetVariable"),
                  edit.written ? std::vector<std::string>{edit.written} : std::vector<std::string>{})
            << edit.typed;
        EXPECT_EQ(boxTexts(), edit.box ? std::vector<std::string>{edit.box} : std::vector<std::string>{}) << edit.typed;
        EXPECT_EQ(host.refreshes, edit.written ? 1 : 0) << edit.typed;
    }
    ASSERT_TRUE(typeIntoCell(*form->grid(), form->model().index(1, ValueGridModel::Decimal), "77"));
    EXPECT_EQ(cell(*form, 1, ValueGridModel::Hexadecimal), "4D");

    script.setVariableResult = tolvane::kStatusFailed;
    host.refreshes = 0;
    ASSERT_TRUE(typeIntoCell(*form->grid(), form->model().index(0, ValueGridModel::Decimal), "2"));
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"An error occured while trying to set the variable's value."});
    EXPECT_EQ(host.refreshes, 0);
}

TEST_F(VariablesTest, HidingEveryValueColumnLeavesTheNameAloneAndWatchSelectedHandsItOn)
{
    Shown<TFormVariables>* form = open();
    ValueColumns& columns = form->columns();
    EXPECT_EQ(columns.visibleColumns(), 4);
    for (Kind kind : {ValueGridModel::Decimal, ValueGridModel::Hexadecimal, ValueGridModel::Binary})
        columns.MenuItemClicked(kind);
    EXPECT_EQ(columns.visibleColumns(), 1);
    for (int kind = ValueGridModel::Decimal; kind < ValueGridModel::KindCount; ++kind)
        EXPECT_TRUE(form->grid()->isColumnHidden(kind));

    // Shown again, a value column comes behind the name, which stays first.
    columns.switchAction(ValueGridModel::Binary)->trigger();
    EXPECT_EQ(columns.visibleColumns(), 2);
    EXPECT_EQ(columns.columnOf(ValueGridModel::Binary), 1);
    QHeaderView* header = form->grid()->horizontalHeader();
    header->moveSection(0, 1);
    EXPECT_EQ(header->visualIndex(ValueGridModel::Name), 0);

    form->grid()->setCurrentIndex(QModelIndex());
    form->watchAction()->trigger();
    EXPECT_TRUE(host.watched.isEmpty());
    form->grid()->setCurrentIndex(form->model().index(2, ValueGridModel::Binary));
    form->watchAction()->trigger();
    EXPECT_EQ(host.watched, QStringList{"u32"});
}

}  // namespace
