#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QTableView>

#include "DebugViewsFixture.h"
#include "GridEditing.h"
#include "Registry.h"
#include "TFormRegisters.h"

namespace {

using Kind = RegisterTableModel::Kind;

// Sees whether the window shows its grid or "Data is not accessible.".
class ShownRegisters : public TFormRegisters {
public:
    using TFormRegisters::TFormRegisters;
    using TDockableForm::DataNotAccessible;
};

class RegistersTest : public DebugViewsTest {
protected:
    void SetUp() override
    {
        DebugViewsTest::SetUp();
        script.enabledViews = {tolvane::kViewRegisters};
        script.registerGroups = {"Core", "Wide"};
        script.registers = {
            {"A0", 0x12, 16, 0x10, "1"},
            {"ACC", 0x1234567890ull, 40, 0x11, "3"},
            {"WIDE", ~uint64_t{0}, 64, 0x12, "2"},
            {"SPARE", 7, 8, 0x13, "0"},
        };
    }
    ShownRegisters* open(int placement = TDockableForm::kDockRight)
    {
        auto* form = new ShownRegisters(&window, host, QRect(0, 0, 400, 300), placement);
        settle();
        return form;
    }
    static QString cell(ShownRegisters& form, int row, Kind kind)
    {
        return form.model().index(row, kind).data().toString();
    }
    static QStringList shownNames(ShownRegisters& form)
    {
        QStringList names;
        for (int row = 0; row < form.model().rowCount(); ++row)
            if (!form.grid()->isRowHidden(row))
                names << cell(form, row, RegisterTableModel::Name);
        return names;
    }
    // Kinds in the order their columns stand, and how many show.
    static std::pair<std::vector<int>, int> columns(ShownRegisters& form)
    {
        std::vector<int> order(RegisterTableModel::KindCount);
        for (int kind = 0; kind < RegisterTableModel::KindCount; ++kind)
            order[static_cast<size_t>(form.grid()->horizontalHeader()->visualIndex(kind))] = kind;
        int shown = 0;
        for (int kind = 0; kind < RegisterTableModel::KindCount; ++kind) {
            shown += form.grid()->isColumnHidden(kind) ? 0 : 1;
            EXPECT_EQ(form.columns().columnOf(static_cast<Kind>(kind)),
                      form.grid()->horizontalHeader()->visualIndex(kind));
        }
        EXPECT_EQ(shown, form.columns().visibleColumns());
        return {order, shown};
    }
};

TEST_F(RegistersTest, ValuesShowByWidthAndRadixAndGroupsFilterTheRows)
{
    ShownRegisters* form = open();
    EXPECT_FALSE(form->DataNotAccessible());
    ASSERT_EQ(form->groupCombo()->count(), 2);
    EXPECT_TRUE(form->groupCombo()->isVisibleTo(form));
    EXPECT_EQ(shownNames(*form), QStringList({"A0", "ACC"}));
    form->groupCombo()->setCurrentIndex(1);
    EXPECT_EQ(shownNames(*form), QStringList({"ACC", "WIDE"}));
    form->groupCombo()->setCurrentIndex(0);

    const struct {
        int row;
        Kind kind;
        const char* text;
    } cells[] = {
        {0, RegisterTableModel::Decimal, "18"},
        {0, RegisterTableModel::Hexadecimal, "0012"},
        {0, RegisterTableModel::Binary, "10010"},
        {0, RegisterTableModel::Address, "0x0010"},
        // A 40-bit value: the high word's 2 digits, then the low word's 8.
        {1, RegisterTableModel::Hexadecimal, "1234567890"},
        {1, RegisterTableModel::Decimal, "78187493520"},
        {2, RegisterTableModel::Decimal, "18446744073709551615"},
        {2, RegisterTableModel::Hexadecimal, "FFFFFFFFFFFFFFFF"},
        // Left out of every group, it is read only by the refresh.
        {3, RegisterTableModel::Name, "SPARE"},
    };
    for (const auto& expected : cells)
        EXPECT_EQ(cell(*form, expected.row, expected.kind), expected.text) << expected.row << " " << expected.kind;
    for (Kind fixed : {RegisterTableModel::Name, RegisterTableModel::Address})
        EXPECT_FALSE(form->model().flags(form->model().index(0, fixed)) & Qt::ItemIsEditable);

    // A value changed in the target shows after the next refresh.
    script.registers[0].value = 0xFFFF;
    form->RefreshView();
    EXPECT_EQ(cell(*form, 0, RegisterTableModel::Decimal), "65535");
}

TEST_F(RegistersTest, WithoutGroupsEveryRegisterShowsAndTheComboIsHidden)
{
    script.registerGroups.clear();
    ShownRegisters* form = open();
    EXPECT_FALSE(form->groupCombo()->isVisibleTo(form));
    EXPECT_EQ(form->groupCombo()->count(), 0);
    EXPECT_EQ(shownNames(*form), QStringList({"A0", "ACC", "WIDE", "SPARE"}));
}

TEST_F(RegistersTest, NoRegistersOrAnUndescribedOneAreRetriedAtTheNextRefresh)
{
    const std::vector<FakeRegister> registers = script.registers;
    script.registers.clear();
    ShownRegisters* form = open();
    EXPECT_EQ(form->model().rowCount(), 0);

    script.registers = registers;
    script.registers[0].result = tolvane::kStatusFailed;
    form->RefreshView();
    EXPECT_EQ(form->model().rowCount(), 4);
    EXPECT_EQ(cell(*form, 0, RegisterTableModel::Name), "");

    script.registers[0].result = tolvane::kStatusDone;
    callsOf("");
    form->RefreshView();
    EXPECT_EQ(callsOf("GetRegisterTable").size(), 2u);  // rebuilt, then refreshed
    EXPECT_EQ(cell(*form, 0, RegisterTableModel::Name), "A0");
}

TEST_F(RegistersTest, TypedValuesAreParsedByTheirColumnAndWrittenOrRefused)
{
    script.registers[2].groupMask = "3";
    ShownRegisters* form = open();
    int refreshes = 0;
    host.onRefresh = [&] {
        ++refreshes;
        form->RefreshView();
    };
    const struct {
        int row;
        Kind kind;
        const char* typed;
        const char* written;  // the SetRegister call, or none
        const char* box;      // the message, or none
    } edits[] = {
        {0, RegisterTableModel::Hexadecimal, "0x1F", "SetRegister 0 31", nullptr},
        {0, RegisterTableModel::Hexadecimal, "1F", "SetRegister 0 31", nullptr},
        {0, RegisterTableModel::Decimal, "1F", nullptr, "1F is not a valid value."},
        {0, RegisterTableModel::Binary, "101", "SetRegister 0 5", nullptr},
        {0, RegisterTableModel::Decimal, "", "SetRegister 0 0", nullptr},
        // Values the register cannot hold are refused, not wrapped.
        {0, RegisterTableModel::Decimal, "65536", nullptr, "65536 is not a valid value."},
        {1, RegisterTableModel::Hexadecimal, "FFFFFFFFFF", "SetRegister 1 1099511627775", nullptr},
        {1, RegisterTableModel::Hexadecimal, "10000000000", nullptr, "10000000000 is not a valid value."},
        {2, RegisterTableModel::Decimal, "18446744073709551616", nullptr, "18446744073709551616 is not a valid value."},
    };
    for (const auto& edit : edits) {
        callsOf("");
        refreshes = 0;
        ASSERT_TRUE(typeIntoCell(*form->grid(), form->model().index(edit.row, edit.kind), edit.typed));
        const std::vector<std::string> written = callsOf("SetRegister");
        EXPECT_EQ(written, edit.written ? std::vector<std::string>{edit.written} : std::vector<std::string>{})
            << edit.typed;
        EXPECT_EQ(boxTexts(), edit.box ? std::vector<std::string>{edit.box} : std::vector<std::string>{}) << edit.typed;
        EXPECT_EQ(refreshes, edit.written ? 1 : 0) << edit.typed;
    }
    EXPECT_EQ(cell(*form, 1, RegisterTableModel::Decimal), "1099511627775");

    script.setRegisterResult = tolvane::kStatusFailed;
    ASSERT_TRUE(typeIntoCell(*form->grid(), form->model().index(0, RegisterTableModel::Hexadecimal), "2"));
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"An error occured while trying to set the register's value."});
    EXPECT_EQ(boxes.boxes.size(), 0u);
}

TEST_F(RegistersTest, ColumnSwitchesMoveTheirColumnsAndComeBackFromTheSettings)
{
    using R = RegisterTableModel;
    ShownRegisters* form = open();
    EXPECT_EQ(columns(*form),
              std::make_pair(std::vector<int>{R::Name, R::Decimal, R::Hexadecimal, R::Binary, R::Address}, 4));
    form->columns().MenuItemClicked(R::Address);
    form->columns().MenuItemClicked(R::Decimal);
    EXPECT_EQ(columns(*form),
              std::make_pair(std::vector<int>{R::Name, R::Hexadecimal, R::Binary, R::Address, R::Decimal}, 4));
    EXPECT_FALSE(form->columns().switchAction(R::Decimal)->isChecked());
    EXPECT_TRUE(form->columns().switchAction(R::Address)->isChecked());

    // A column dragged elsewhere stays there; the names stay first.
    QHeaderView* header = form->grid()->horizontalHeader();
    header->moveSection(header->visualIndex(R::Address), 1);
    EXPECT_EQ(columns(*form).first, (std::vector<int>{R::Name, R::Address, R::Hexadecimal, R::Binary, R::Decimal}));
    header->moveSection(0, 2);
    EXPECT_EQ(columns(*form).first, (std::vector<int>{R::Name, R::Address, R::Hexadecimal, R::Binary, R::Decimal}));

    // The popup entry does what the switch does.
    form->columns().switchAction(R::Binary)->trigger();
    EXPECT_FALSE(form->columns().switchAction(R::Binary)->isChecked());
    EXPECT_TRUE(form->grid()->isColumnHidden(R::Binary));

    form->saveAtClose();
    const auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser,
                                                 "\\Software\\Quorin Semiconductor\\Tolvane\\", false);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->readBool("RegistersShowHex"), true);
    EXPECT_EQ(key->readBool("RegistersShowDecimal"), false);
    EXPECT_EQ(key->readBool("RegistersShowBinary"), false);
    EXPECT_EQ(key->readBool("RegistersShowAddress"), true);

    // A new window starts from the stored switches: the address column last.
    ShownRegisters* again = open();
    EXPECT_EQ(columns(*again),
              std::make_pair(std::vector<int>{R::Name, R::Hexadecimal, R::Address, R::Decimal, R::Binary}, 3));
}

TEST_F(RegistersTest, AViewTheDeviceDeclinesShowsNoDataAndAHiddenWindowReadsWhenShown)
{
    script.enabledViews.clear();
    ShownRegisters* form = open();
    EXPECT_TRUE(form->DataNotAccessible());
    script.enabledViews = {tolvane::kViewRegisters};

    form->Place(TDockableForm::kFloatHidden, QRect(0, 0, 300, 200));
    callsOf("");
    form->RefreshView();
    EXPECT_TRUE(callsOf("GetRegister").empty());
    EXPECT_TRUE(form->RefreshPending());
    EXPECT_FALSE(form->DataNotAccessible());

    form->ShowInPage();
    settle();
    EXPECT_FALSE(callsOf("GetRegister ").empty());
    EXPECT_FALSE(form->RefreshPending());
}

}  // namespace
