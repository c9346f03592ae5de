#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QTableView>
#include <deque>

#include "DebugViewsFixture.h"
#include "GridEditing.h"
#include "TFormMemory.h"

namespace {

class ShownMemory : public TFormMemory {
public:
    using TFormMemory::TFormMemory;
    using TDockableForm::DataNotAccessible;
};

class ScriptedPrompt : public TextPrompt {
public:
    explicit ScriptedPrompt(std::deque<std::optional<QString>> answers) : answers_(std::move(answers)) {}
    std::optional<QString> ask(const QString& title, const QString& prompt, const QString& initial) override
    {
        EXPECT_EQ(title, "Go To Address");
        EXPECT_EQ(prompt, "Enter the target address:");
        EXPECT_EQ(initial, "0x00");
        if (answers_.empty())
            return std::nullopt;
        std::optional<QString> answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

private:
    std::deque<std::optional<QString>> answers_;
};

FakeBank bank(const char* name, int first, int words, int width, int32_t base)
{
    FakeBank made{name, first, width, {}, false};
    for (int i = 0; i < words; ++i)
        made.words.push_back(base + i);
    return made;
}

class MemoryTest : public DebugViewsTest {
protected:
    void SetUp() override
    {
        DebugViewsTest::SetUp();
        script.enabledViews = {tolvane::kViewMemory};
        FakeBank refused = bank("Broken", 0, 16, 16, 0);
        refused.refused = true;
        script.banks = {bank("Program", 0, 100, 16, 0x1000), refused,
                        bank("Data", 0x13, 40, 32, static_cast<int32_t>(0xCAFE0000))};
    }
    ShownMemory* open(QRect rect = QRect(0, 0, 700, 600), int placement = TDockableForm::kFloat)
    {
        auto* form = new ShownMemory(&window, host, rect, placement);
        host.onRefresh = [form] { form->RefreshView(); };
        settle();
        return form;
    }
    static QString cell(ShownMemory& form, int row, int column)
    {
        return form.model().index(row, column).data().toString();
    }
    static QPoint centreOf(ShownMemory& form, int row, int column)
    {
        return form.grid()->visualRect(form.model().index(row, column)).center();
    }
};

TEST_F(MemoryTest, BanksKeepTheirOwnNumbersPastOneTheDeviceRefuses)
{
    ShownMemory* form = open();
    QComboBox* combo = form->bankCombo();
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(1), "Data");
    EXPECT_EQ(combo->itemData(1).toInt(), 2);

    callsOf("");
    combo->setCurrentIndex(1);
    settle();
    EXPECT_EQ(form->model().bank(), 2);
    EXPECT_EQ(callsOf("ReadMemory"), std::vector<std::string>{"ReadMemory 2 19 256"});
    // 32-bit words: eight digits, nothing masked; the list rebuilt for the
    // refused bank keeps the bank the user chose.
    EXPECT_EQ(cell(*form, 0, 0), "CAFE0000");
    EXPECT_EQ(combo->currentText(), "Data");
    EXPECT_EQ(form->model().headerData(1, Qt::Vertical).toString(), "0x23");

    ASSERT_TRUE(typeIntoCell(*form->grid(), form->model().index(0, 1), "12"));
    EXPECT_EQ(callsOf("WriteMemory"), std::vector<std::string>{"WriteMemory 2 20 1 18"});
    EXPECT_EQ(cell(*form, 0, 1), "00000012");
    EXPECT_EQ(combo->currentText(), "Data");
}

TEST_F(MemoryTest, TheLastRowRunsPastTheBankButOnlyTheBanksWordsAreEditable)
{
    ShownMemory* form = open();
    EXPECT_EQ(form->model().rowCount(), 7);
    EXPECT_EQ(form->model().columnCount(), 16);
    EXPECT_EQ(form->model().headerData(15, Qt::Horizontal).toString(), "F");
    EXPECT_EQ(cell(*form, 6, 3), "1063");
    EXPECT_EQ(cell(*form, 6, 4), "7E7E");
    EXPECT_TRUE(form->model().flags(form->model().index(6, 3)) & Qt::ItemIsEditable);
    EXPECT_FALSE(form->model().flags(form->model().index(6, 4)) & Qt::ItemIsEditable);
}

TEST_F(MemoryTest, EachPageIsReadOnceUntilTheNextRefresh)
{
    script.banks = {bank("Flash", 0, 0x300, 16, 0)};
    ShownMemory* form = open(QRect(0, 0, 700, 300));
    EXPECT_EQ(callsOf("ReadMemory"), std::vector<std::string>{"ReadMemory 0 0 256"});
    form->grid()->scrollToBottom();
    settle();
    EXPECT_EQ(callsOf("ReadMemory"), std::vector<std::string>{"ReadMemory 0 512 256"});
    form->grid()->scrollToTop();
    settle();
    EXPECT_TRUE(callsOf("ReadMemory").empty());
    EXPECT_EQ(cell(*form, 47, 15), "02FF");

    form->RefreshView();
    EXPECT_EQ(callsOf("ReadMemory"), std::vector<std::string>{"ReadMemory 0 0 256"});
    // A dump reads every page once; the view then reads what it shows.
    form->dumpToClipboard();
    EXPECT_EQ(callsOf("ReadMemory"), (std::vector<std::string>{"ReadMemory 0 0 256", "ReadMemory 0 256 256",
                                                               "ReadMemory 0 512 256", "ReadMemory 0 0 256"}));
}

TEST_F(MemoryTest, APageThatCouldNotBeReadIsReadAgainWhenNextPaintedOncePerPaint)
{
    script.readMemoryResult = tolvane::kStatusFailed;
    ShownMemory* form = open();
    EXPECT_FALSE(callsOf("ReadMemory").empty());
    EXPECT_EQ(cell(*form, 0, 0), "");
    QWidget* viewport = form->grid()->viewport();
    // A dead link: each paint costs one read, and a failed read asks for no
    // paint of its own.
    for (int paint = 0; paint < 3; ++paint) {
        viewport->repaint();
        viewport->repaint();
        settle();
        EXPECT_EQ(callsOf("ReadMemory"), std::vector<std::string>{"ReadMemory 0 0 256"}) << paint;
    }
    settle();
    EXPECT_TRUE(callsOf("ReadMemory").empty());

    script.readMemoryResult = tolvane::kStatusDone;
    viewport->repaint();
    settle();
    EXPECT_EQ(callsOf("ReadMemory").size(), 1u);
    EXPECT_EQ(cell(*form, 0, 0), "1000");
    viewport->repaint();
    settle();
    EXPECT_TRUE(callsOf("ReadMemory").empty());
}

TEST_F(MemoryTest, TheStatusBarShowsTheWordsAddressAndAddBreakpointUsesIt)
{
    script.features = {tolvane::kFeatureMemoryBreakpoint};
    ShownMemory* form = open();
    form->bankCombo()->setCurrentIndex(1);
    settle();
    // The bank starts at 0x13: row 0, column 2 is 0x15.
    form->pointerMovedTo(centreOf(*form, 0, 2));
    EXPECT_EQ(form->addressPanelText(), "0x15");
    EXPECT_TRUE(form->addBreakpointAction()->isVisible());
    callsOf("");
    form->addBreakpointAction()->trigger();
    EXPECT_EQ(callsOf("AddDataBreakpoint"), std::vector<std::string>{"AddDataBreakpoint 21"});

    // Past the bank's end there is no word to stop at.
    form->pointerMovedTo(centreOf(*form, 2, 8));
    EXPECT_EQ(form->addressPanelText(), "");
    form->addBreakpoint();
    EXPECT_TRUE(callsOf("AddDataBreakpoint").empty());
    form->pointerMovedTo(QPoint(-5, -5));
    EXPECT_EQ(form->addressPanelText(), "");

    script.features.clear();
    form->ResetView();
    EXPECT_FALSE(form->addBreakpointAction()->isVisible());
}

TEST_F(MemoryTest, TypedWordsAreHexadecimalAndFailuresAreReported)
{
    ShownMemory* form = open();
    const struct {
        const char* typed;
        const char* written;
        const char* box;
    } edits[] = {
        {"12", "WriteMemory 0 1 1 18", nullptr},
        {"0x12", "WriteMemory 0 1 1 18", nullptr},
        {"xyz", nullptr, "0xxyz is not a valid value."},
        {"", nullptr, "0x is not a valid value."},
        {"12345", nullptr, "0x12345 is not a valid value."},
    };
    for (const auto& edit : edits) {
        callsOf("");
        ASSERT_TRUE(typeIntoCell(*form->grid(), form->model().index(0, 1), edit.typed));
        EXPECT_EQ(callsOf("WriteMemory"),
                  edit.written ? std::vector<std::string>{edit.written} : std::vector<std::string>{})
            << edit.typed;
        EXPECT_EQ(boxTexts(), edit.box ? std::vector<std::string>{edit.box} : std::vector<std::string>{}) << edit.typed;
    }

    // Any answer but done is a failure.
    for (int answer : {tolvane::kStatusFailed, 0, 1, -2}) {
        script.writeMemoryResult = answer;
        ASSERT_TRUE(typeIntoCell(*form->grid(), form->model().index(0, 2), "1"));
        EXPECT_EQ(boxTexts(), std::vector<std::string>{"An error occured while trying to set the memory contents."})
            << answer;
    }
    script.banks[0].refused = true;
    ASSERT_TRUE(typeIntoCell(*form->grid(), form->model().index(0, 2), "1"));
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"An error occurred while accessing the device's memory."});
}

TEST_F(MemoryTest, TheDumpHoldsEveryBankAndTheChosenBankStaysChosen)
{
    script.banks = {bank("Tiny", 0x13, 20, 16, 0), bank("Wide", 0, 16, 32, 0x10)};
    ShownMemory* form = open();
    form->bankCombo()->setCurrentIndex(1);
    settle();
    form->dumpToClipboard();

    const QByteArray golden =
        "Tiny\r\n"
        "0x13,0000,0001,0002,0003,0004,0005,0006,0007,0008,0009,000A,000B,000C,000D,000E,000F\r\n"
        "0x23,0010,0011,0012,0013,7E7E,7E7E,7E7E,7E7E,7E7E,7E7E,7E7E,7E7E,7E7E,7E7E,7E7E,7E7E\r\n"
        "\r\n"
        "Wide\r\n"
        "0x0,00000010,00000011,00000012,00000013,00000014,00000015,00000016,00000017,00000018,00000019,"
        "0000001A,0000001B,0000001C,0000001D,0000001E,0000001F\r\n";
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), golden.toStdString());
    EXPECT_EQ(form->bankCombo()->currentText(), "Wide");
    EXPECT_EQ(form->model().bank(), 1);
    EXPECT_EQ(cell(*form, 0, 0), "00000010");
}

TEST_F(MemoryTest, GoToAddressSelectsTheWordOrAsksAgain)
{
    const struct {
        std::deque<std::optional<QString>> answers;
        std::vector<std::string> boxes;
        int row;
        int column;
    } cases[] = {
        {{QStringLiteral("0x1F")}, {}, 1, 15},
        {{QStringLiteral("99")}, {}, 6, 3},
        {{QStringLiteral("abc"), QStringLiteral("100"), QStringLiteral("-5"), std::nullopt},
         {"abc is not a valid address.", "The selected address does not exist in this memory.",
          "The selected address does not exist in this memory."},
         -1,
         -1},
    };
    for (const auto& goTo : cases) {
        ShownMemory* form = open();
        form->setPrompt(std::make_unique<ScriptedPrompt>(goTo.answers));
        form->goToAddress();
        EXPECT_EQ(boxTexts(), goTo.boxes);
        EXPECT_EQ(form->grid()->currentIndex().row(), goTo.row);
        EXPECT_EQ(form->grid()->currentIndex().column(), goTo.column);
        delete form;
    }
}

TEST_F(MemoryTest, AViewTheDeviceDeclinesReadsNothing)
{
    script.enabledViews.clear();
    ShownMemory* form = open();
    EXPECT_TRUE(form->DataNotAccessible());
    EXPECT_TRUE(callsOf("ReadMemory").empty());
    script.enabledViews = {tolvane::kViewMemory};
    form->RefreshView();
    EXPECT_FALSE(form->DataNotAccessible());
    EXPECT_EQ(callsOf("ReadMemory").size(), 1u);
}

}  // namespace
