#include "TFormMemory.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>

#include "AbstractDevice.h"
#include "DebugViewHost.h"
#include "HourglassCursor.h"
#include "MessageBoxes.h"

namespace {

// Decimal, or hexadecimal after "0x", either with a sign; none for anything else.
std::optional<int64_t> parseAddress(const QString& text)
{
    QStringView digits(text);
    const bool negative = digits.startsWith(QLatin1Char('-'));
    if (negative || digits.startsWith(QLatin1Char('+')))
        digits = digits.mid(1);
    int base = 10;
    if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        digits = digits.mid(2);
        base = 16;
    }
    if (digits.isEmpty())
        return std::nullopt;
    int64_t value = 0;
    for (QChar c : digits) {
        const int digit = QStringLiteral("0123456789ABCDEF").indexOf(c.toUpper());
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = value * base + digit;
        if (value > 0xFFFFFFFFll)
            return std::nullopt;
    }
    return negative ? -value : value;
}

}  // namespace

TFormMemory::TFormMemory(QMainWindow* owner, DebugViewHost& host, std::optional<QRect> rect, int placement)
    : DebugWindow(owner, host, tolvane::kViewMemory, QStringLiteral("Memory")),
      model_(host, this),
      banks_(new QComboBox(this)),
      grid_(new QTableView(this)),
      addressPanel_(new QLabel(this)),
      popup_(new QMenu(this)),
      prompt_(std::make_unique<QtTextPrompt>(this))
{
    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    status->addWidget(addressPanel_, 1);
    status->addWidget(new QLabel(status), 1);
    setContentStack({banks_, grid_, status});

    setUpEditableGrid(*grid_, model_);
    grid_->setFont(gridFont());
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->horizontalHeader()->setMinimumSectionSize(1);
    grid_->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    grid_->setMouseTracking(true);
    grid_->viewport()->installEventFilter(this);
    connect(grid_, &QWidget::customContextMenuRequested, this, &TFormMemory::showPopup);
    connect(grid_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        readShownRows();
        pointerMovedTo(grid_->viewport()->mapFromGlobal(QCursor::pos()));
    });
    connect(banks_, &QComboBox::currentIndexChanged, this, [this] { this->host().refreshDebugWindows(); });

    addBreakpoint_ = popup_->addAction(QStringLiteral("Add Breakpoint"), this, &TFormMemory::addBreakpoint);
    popup_->addSeparator();
    popup_->addAction(QStringLiteral("Dump to Clipboard"), this, &TFormMemory::dumpToClipboard);
    popup_->addAction(QStringLiteral("Go To Address..."), this, &TFormMemory::goToAddress);

    ResetView();
    Place(placement, rect);
}

TFormMemory::~TFormMemory() = default;

void TFormMemory::ResetView()
{
    rebuildBankList(false);
    // The banks the device did describe show even when one was refused.
    showSelectedBank();
}

void TFormMemory::rebuildBankList(bool keepSelection)
{
    bankListInvalid_ = false;
    platform::HourglassCursor busy;
    AbstractDevice* device = currentDevice();
    addBreakpoint_->setVisible(device && device->HasFeature(tolvane::kFeatureMemoryBreakpoint));
    const int kept = selectedBank();
    const QSignalBlocker quiet(banks_);
    banks_->clear();
    const int count = device ? device->GetMemoryBankCount() : 0;
    if (count <= 0)
        bankListInvalid_ = true;
    for (int bank = 0; bank < count; ++bank) {
        if (const std::optional<MemoryBankDescription> described = describeBank(device, bank))
            banks_->addItem(described->name, bank);
        else
            bankListInvalid_ = true;
    }
    // A list rebuilt because a bank was refused keeps the bank the user chose.
    const int entry = keepSelection ? banks_->findData(kept) : -1;
    banks_->setCurrentIndex(entry >= 0 ? entry : 0);
}

int TFormMemory::selectedBank() const
{
    return banks_->currentIndex() >= 0 ? banks_->currentData().toInt() : -1;
}

void TFormMemory::RefreshView()
{
    if (bankListInvalid_)
        rebuildBankList(true);
    showSelectedBank();
}

void TFormMemory::showSelectedBank()
{
    if (!beginViewRefresh())
        return;
    platform::HourglassCursor busy;
    if (banks_->count() == 0)
        model_.clear();
    else if (model_.selectBank(selectedBank()))
        fitColumns();
    readShownRows();
    grid_->viewport()->update();
}

void TFormMemory::fitColumns()
{
    const QFontMetrics metrics(gridFont());
    const int width = metrics.horizontalAdvance(QString(model_.wordDigits(), QLatin1Char('0'))) + 8;
    for (int column = 0; column < MemoryGridModel::kWordsPerRow; ++column)
        grid_->horizontalHeader()->resizeSection(column, width);
    grid_->verticalHeader()->setFixedWidth(metrics.horizontalAdvance(model_.addressText(model_.firstAddress())) + 8);
}

void TFormMemory::readShownRows()
{
    if (const std::optional<std::pair<int, int>> rows = rowsInView(*grid_))
        model_.readRows(rows->first, rows->second);
}

bool TFormMemory::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grid_->viewport()) {
        switch (event->type()) {
        case QEvent::Resize:
            readShownRows();
            break;
        case QEvent::Paint:
            retryFailedReads();
            break;
        case QEvent::MouseMove:
            pointerMovedTo(static_cast<QMouseEvent*>(event)->position().toPoint());
            break;
        case QEvent::Leave:
            pointerMovedTo(QPoint(-1, -1));
            break;
        default:
            break;
        }
    }
    return DebugWindow::eventFilter(watched, event);
}

void TFormMemory::retryFailedReads()
{
    // Read after the paint, not in it; a read that fails again repaints
    // nothing, so a dead link costs one read per page each time the grid is
    // painted for another reason.
    const std::optional<std::pair<int, int>> rows = rowsInView(*grid_);
    if (retryQueued_ || !rows || !model_.rowsNeedReading(rows->first, rows->second))
        return;
    retryQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            retryQueued_ = false;
            readShownRows();
        },
        Qt::QueuedConnection);
}

void TFormMemory::pointerMovedTo(const QPoint& at)
{
    const QModelIndex cell = grid_->indexAt(at);
    pointedAddress_ = model_.wordAddress(cell);
    addressPanel_->setText(pointedAddress_ ? model_.addressText(*pointedAddress_) : QString());
}

QString TFormMemory::addressPanelText() const
{
    return addressPanel_->text();
}

void TFormMemory::showPopup(const QPoint& at)
{
    pointerMovedTo(at);
    // Only a word cell has the popup.
    if (!grid_->indexAt(at).isValid())
        return;
    addBreakpoint_->setEnabled(pointedAddress_.has_value());
    popup_->popup(grid_->viewport()->mapToGlobal(at));
}

void TFormMemory::addBreakpoint()
{
    if (AbstractDevice* device = currentDevice(); device && pointedAddress_)
        device->AddDataBreakpoint(*pointedAddress_);
}

void TFormMemory::dumpToClipboard()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    platform::HourglassCursor busy;
    QStringList lines;
    const int selected = banks_->currentIndex();
    {
        const QSignalBlocker quiet(banks_);
        for (int entry = 0; entry < banks_->count(); ++entry) {
            banks_->setCurrentIndex(entry);
            if (!model_.selectBank(selectedBank()))
                continue;
            lines << banks_->itemText(entry);
            lines << model_.dumpRows();
            lines << QString();
        }
        banks_->setCurrentIndex(selected);
    }
    RefreshView();
    clipboard->setText(lines.join(QStringLiteral("\r\n")));
}

void TFormMemory::goToAddress()
{
    while (const std::optional<QString> text = prompt_->ask(
               QStringLiteral("Go To Address"), QStringLiteral("Enter the target address:"), QStringLiteral("0x00"))) {
        const std::optional<int64_t> address = parseAddress(*text);
        if (!address) {
            platform::showError(text->toStdString() + " is not a valid address.");
            continue;
        }
        const int64_t word = *address - model_.firstAddress();
        if (word < 0 || word >= model_.wordCount()) {
            platform::showError("The selected address does not exist in this memory.");
            continue;
        }
        const QModelIndex cell = model_.index(static_cast<int>(word / MemoryGridModel::kWordsPerRow),
                                              static_cast<int>(word % MemoryGridModel::kWordsPerRow));
        grid_->scrollTo(cell, QAbstractItemView::PositionAtTop);
        grid_->setCurrentIndex(cell);
        readShownRows();
        return;
    }
}
