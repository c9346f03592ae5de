#include "TFormTrace.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QSlider>
#include <QStyledItemDelegate>
#include <QTableView>

#include "AbstractDevice.h"
#include "DebugViewHost.h"
#include "HourglassCursor.h"
#include "MessageBoxes.h"

namespace {

constexpr int kColumnWidth = 75;
constexpr int kRowHeight = 18;
constexpr int kMostSteps = 16;

// Only the device's current entry is highlighted; the row the user picks
// shows by its focus frame, so that the two are never mistaken.
class CurrentEntryDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_Selected;
    }
};

}  // namespace

TFormTrace::TFormTrace(QMainWindow* owner, DebugViewHost& host, std::optional<QRect> rect, int placement)
    : DebugWindow(owner, host, tolvane::kViewTrace, QStringLiteral("Trace")),
      model_(host, this),
      grid_(new QTableView(this)),
      trackBar_(new QSlider(Qt::Horizontal, this)),
      bufferSize_(new QLabel(this)),
      popup_(new QMenu(this))
{
    auto* sizePanel = new QWidget(this);
    auto* sizeLayout = new QHBoxLayout(sizePanel);
    sizeLayout->setContentsMargins(4, 2, 4, 2);
    sizeLayout->addWidget(trackBar_, 1);
    sizeLayout->addWidget(bufferSize_);
    setContentStack({grid_, sizePanel});

    grid_->setModel(&model_);
    grid_->setItemDelegate(new CurrentEntryDelegate(grid_));
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setWordWrap(false);
    grid_->verticalHeader()->hide();
    // Fixed rows let a long trace scroll without measuring every row.
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    QHeaderView* header = grid_->horizontalHeader();
    header->setDefaultSectionSize(kColumnWidth);
    header->setSectionsMovable(true);
    header->setStretchLastSection(true);
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popup_->popup(grid_->viewport()->mapToGlobal(at)); });
    connect(grid_, &QAbstractItemView::doubleClicked, this, &TFormTrace::StringGridDblClick);
    connect(grid_->verticalScrollBar(), &QScrollBar::valueChanged, this, &TFormTrace::readShownRows);
    grid_->viewport()->installEventFilter(this);
    popup_->addAction(QStringLiteral("Dump To Clipboard"), this, &TFormTrace::DumpToClipboard1Click);

    trackBar_->setRange(1, kMostSteps);
    trackBar_->setValue(1);
    trackBar_->setPageStep(1);
    trackBar_->setTickPosition(QSlider::TicksBelow);
    connect(trackBar_, &QSlider::valueChanged, this, &TFormTrace::TrackBarTraceSizeChange);
    TrackBarTraceSizeChange();

    ResetView();
    Place(placement, rect);
}

void TFormTrace::ResetView()
{
    QHeaderView* header = grid_->horizontalHeader();
    for (int field = 0; field < TraceModel::FieldCount; ++field)
        header->moveSection(header->visualIndex(field), field);
    RefreshView();
}

void TFormTrace::RefreshView()
{
    if (!beginViewRefresh())
        return;
    bool answered = false;
    {
        platform::HourglassCursor busy;
        answered = model_.refresh(trackBar_->value() * kEntriesPerStep);
    }
    if (!answered)
        platform::showError("Unable to get trace information from the device.");
    // The rows' geometry follows the new row count before the newest rows are shown.
    grid_->doItemsLayout();
    grid_->scrollToBottom();
    readShownRows();
}

void TFormTrace::readShownRows()
{
    if (const std::optional<std::pair<int, int>> rows = rowsInView(*grid_))
        model_.readRows(rows->first, rows->second);
}

bool TFormTrace::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grid_->viewport() && event->type() == QEvent::Resize)
        readShownRows();
    return DebugWindow::eventFilter(watched, event);
}

void TFormTrace::TrackBarTraceSizeChange()
{
    bufferSize_->setText(QStringLiteral("Trace Buffer Size: %1k entries").arg(trackBar_->value() * 4));
}

QString TFormTrace::bufferSizeText() const
{
    return bufferSize_->text();
}

void TFormTrace::StringGridDblClick()
{
    const QModelIndex selected = grid_->currentIndex();
    AbstractDevice* device = currentDevice();
    if (!selected.isValid() || !device)
        return;
    device->SelectTraceEntry(model_.entryOfRow(selected.row()));
    int pc = 0;
    if (device->GetProgramCounter(&pc) == tolvane::kStatusDone)
        if (const std::optional<SourceLine> found = sourceLineAt(static_cast<unsigned>(pc)))
            host().showSourceLine(found->file, found->line);
    host().refreshDebugWindows();
}

void TFormTrace::DumpToClipboard1Click()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    QString text;
    {
        platform::HourglassCursor busy;
        text = model_.dumpText();
    }
    clipboard->setText(text);
}
