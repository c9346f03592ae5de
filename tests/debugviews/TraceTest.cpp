#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QSlider>
#include <QTableView>
#include <QTest>
#include <set>

#include "DebugViewsFixture.h"
#include "TFormTrace.h"

namespace {

using Field = TraceModel::Field;

class TraceTest : public DebugViewsTest {
protected:
    void SetUp() override
    {
        DebugViewsTest::SetUp();
        script.enabledViews = {tolvane::kViewTrace};
        script.traceDataBits = 40;
    }
    TFormTrace* open(int trackBar = 1)
    {
        auto* form = new TFormTrace(&window, host, QRect(0, 0, 500, 400), TDockableForm::kDockRight);
        host.onRefresh = [form] { form->RefreshView(); };
        settle();
        if (trackBar != 1) {
            form->trackBar()->setValue(trackBar);
            form->RefreshView();
        }
        return form;
    }
    static QString cell(TFormTrace& form, int row, Field field)
    {
        return form.model().index(row, field).data().toString();
    }
    // The entries GetTraceEntry was asked for since the last look.
    std::set<int> entriesRead()
    {
        std::set<int> read;
        for (const std::string& call : callsOf("GetTraceEntry "))
            read.insert(std::stoi(call.substr(14)));
        return read;
    }
    static std::set<int> shownEntries(TFormTrace& form)
    {
        QTableView* grid = form.grid();
        const int first = grid->rowAt(0);
        int last = grid->rowAt(grid->viewport()->height() - 1);
        last = last < 0 ? form.model().rowCount() - 1 : last;
        std::set<int> shown;
        for (int row = first; row >= 0 && row <= last; ++row)
            shown.insert(form.model().entryOfRow(row));
        return shown;
    }
    static bool highlighted(TFormTrace& form, int row)
    {
        return form.model().index(row, TraceModel::Data).data(Qt::BackgroundRole).isValid();
    }
    static QString clipboardAfterDump(TFormTrace& form)
    {
        QGuiApplication::clipboard()->clear();
        form.DumpToClipboard1Click();
        return QGuiApplication::clipboard()->text();
    }
};

TEST_F(TraceTest, TheTrackBarChoosesHowManyOfTheNewestEntriesShow)
{
    script.traceSize = 10000;
    TFormTrace* form = open();
    EXPECT_EQ(form->bufferSizeText(), "Trace Buffer Size: 4k entries");
    EXPECT_EQ(form->model().rowCount(), 4096);
    EXPECT_EQ(form->model().firstEntry(), 10000 - 4096);

    // The label follows the bar at once; the rows at the next refresh.
    form->trackBar()->setValue(2);
    EXPECT_EQ(form->bufferSizeText(), "Trace Buffer Size: 8k entries");
    EXPECT_EQ(form->model().rowCount(), 4096);
    form->RefreshView();
    EXPECT_EQ(form->model().rowCount(), 8192);
    EXPECT_EQ(form->model().entryOfRow(0), 1808);
    form->model().readRows(0, 0);
    EXPECT_EQ(cell(*form, 0, TraceModel::Address), "0x0810");  // 0x100 + 1808

    form->trackBar()->setValue(3);
    form->RefreshView();
    EXPECT_EQ(form->model().rowCount(), 10000);
    EXPECT_EQ(form->model().entryOfRow(0), 0);
    // The newest entries are in view.
    EXPECT_EQ(form->grid()->rowAt(form->grid()->viewport()->height() - 1), 9999);

    script.traceSize = 0;
    form->RefreshView();
    EXPECT_EQ(form->model().rowCount(), 0);
    EXPECT_EQ(form->grid()->horizontalHeader()->count(), 4);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(TraceTest, FieldsShowByTheirFormatsAndTheDataByItsWidth)
{
    script.traceSize = 8;
    TFormTrace* form = open();
    const struct {
        int bits;
        const char* data;  // entry 0's data, 0xFEDCBA9876543210
    } widths[] = {{64, "0xFEDCBA9876543210"}, {40, "0x9876543210"}, {32, "0x76543210"}, {12, "0x210"},
                  {33, "0x076543210"},        {1, "0x0"},           {0, "0x0"},         {99, "0xFEDCBA9876543210"}};
    for (const auto& width : widths) {
        script.traceDataBits = width.bits;
        form->RefreshView();
        EXPECT_EQ(cell(*form, 0, TraceModel::Data), width.data) << width.bits;
    }
    EXPECT_EQ(cell(*form, 0, TraceModel::FileOrEvent), "main.asm");
    EXPECT_EQ(cell(*form, 0, TraceModel::Line), "10");
    EXPECT_EQ(cell(*form, 7, TraceModel::FileOrEvent), "Interrupt 1");
    EXPECT_EQ(cell(*form, 7, TraceModel::Line), "");
    host.bits = 20;
    form->RefreshView();
    EXPECT_EQ(cell(*form, 7, TraceModel::Address), "0x00107");

    // An entry the device cannot give shows empty cells.
    script.unreadableTraceEntries = {3};
    form->RefreshView();
    for (int field = 0; field < TraceModel::FieldCount; ++field)
        EXPECT_EQ(cell(*form, 3, static_cast<Field>(field)), "");
}

TEST_F(TraceTest, TheClipboardListsTheEntriesInTitleOrderWhateverTheColumnsOrder)
{
    script.traceSize = 10;
    script.traceCurrent = 3;
    script.unreadableTraceEntries = {5};
    TFormTrace* form = open();
    const QString golden = QStringLiteral(
        "File/Event,Line,Address,Data\r\n"
        "main.asm,10,0x0100,0x9876543210\r\n"
        "main.asm,11,0x0101,0xA876543211\r\n"
        "main.asm,12,0x0102,0xB876543212\r\n"
        "main.asm,13,0x0103,0xC876543213\r\n"
        "main.asm,14,0x0104,0xD876543214\r\n"
        "\r\n"
        "main.asm,16,0x0106,0xF876543216\r\n"
        "Interrupt 1,,0x0107,0x0876543217\r\n"
        "main.asm,18,0x0108,0x1876543218\r\n"
        "main.asm,19,0x0109,0x2876543219\r\n");
    EXPECT_EQ(clipboardAfterDump(*form), golden);
    for (int row = 0; row < 10; ++row)
        EXPECT_EQ(highlighted(*form, row), row == 3) << row;

    // Columns dragged into another order change neither the current entry's
    // highlight nor the clipboard's field order.
    QHeaderView* header = form->grid()->horizontalHeader();
    header->moveSection(header->visualIndex(TraceModel::Data), 0);
    header->moveSection(header->visualIndex(TraceModel::FileOrEvent), 3);
    header->moveSection(header->visualIndex(TraceModel::Line), 1);
    ASSERT_EQ(header->logicalIndex(0), TraceModel::Data);
    form->RefreshView();
    EXPECT_EQ(clipboardAfterDump(*form), golden);
    for (int row = 0; row < 10; ++row)
        EXPECT_EQ(highlighted(*form, row), row == 3) << row;
    // What the grid shows in its first column is the data.
    const QModelIndex firstShown = form->grid()->indexAt(QPoint(2, 2));
    EXPECT_EQ(firstShown.column(), TraceModel::Data);

    // A reset puts the columns back in the title's order.
    form->ResetView();
    for (int field = 0; field < TraceModel::FieldCount; ++field)
        EXPECT_EQ(header->logicalIndex(field), field);
}

TEST_F(TraceTest, ADoubleClickMakesTheEntryCurrentAndShowsItsLine)
{
    script.traceSize = 6;
    script.lineAddresses[{"/src/main.asm", 12}] = 0x102;
    TFormTrace* form = open();
    ASSERT_FALSE(highlighted(*form, 2));

    QTableView* grid = form->grid();
    const QPoint at = grid->visualRect(form->model().index(2, TraceModel::Line)).center();
    callsOf("");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(callsOf("SelectTraceEntry"), std::vector<std::string>{"SelectTraceEntry 2"});
    EXPECT_EQ(host.sourceLines, QStringList{"/src/main.asm:12"});
    EXPECT_EQ(host.refreshes, 1);
    EXPECT_TRUE(highlighted(*form, 2));

    // An entry whose address maps to no line shows none; the windows refresh anyway.
    form->grid()->setCurrentIndex(form->model().index(4, 0));
    form->StringGridDblClick();
    EXPECT_EQ(host.sourceLines.size(), 1);
    EXPECT_EQ(host.refreshes, 2);
}

TEST_F(TraceTest, AFailedTraceInformationIsReportedAndTheRowsStay)
{
    script.traceSize = 30;
    TFormTrace* form = open();
    script.traceInfoResult = tolvane::kStatusFailed;
    script.traceSize = 5;
    form->RefreshView();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Unable to get trace information from the device."});
    EXPECT_EQ(form->model().rowCount(), 30);
}

TEST_F(TraceTest, OnlyTheEntriesInViewAreReadEachOnceARefresh)
{
    script.traceSize = 16 * 4096;
    callsOf("");
    TFormTrace* form = open(16);
    ASSERT_EQ(form->model().rowCount(), 65536);
    ASSERT_EQ(form->model().firstEntry(), 0);
    // The refresh reads what it shows at the bottom, nothing else.
    std::set<int> shown = shownEntries(*form);
    ASSERT_GT(shown.size(), 5u);
    ASSERT_LT(shown.size(), 100u);
    EXPECT_EQ(*shown.rbegin(), 65535);
    entriesRead();
    form->RefreshView();
    EXPECT_EQ(entriesRead(), shown);

    // Up a page: only the rows that came into view.
    QScrollBar* bar = form->grid()->verticalScrollBar();
    const std::set<int> atEnd = shown;
    bar->setValue(bar->value() - bar->pageStep());
    shown = shownEntries(*form);
    std::set<int> fresh;
    for (int entry : shown)
        if (!atEnd.count(entry))
            fresh.insert(entry);
    EXPECT_EQ(entriesRead(), fresh);

    // Back to the end: nothing new to read.
    form->grid()->scrollToBottom();
    EXPECT_EQ(shownEntries(*form), atEnd);
    EXPECT_TRUE(entriesRead().empty());

    // From the top to the end: the end's rows only.
    bar->setValue(0);
    EXPECT_EQ(entriesRead(), shownEntries(*form));
    form->grid()->scrollToBottom();
    EXPECT_TRUE(entriesRead().empty());

    // A new refresh reads again what it shows.
    form->RefreshView();
    EXPECT_EQ(entriesRead(), atEnd);
}

}  // namespace
