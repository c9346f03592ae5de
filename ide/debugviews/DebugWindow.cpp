#include "DebugWindow.h"

#include <QFile>
#include <QTableView>
#include <QVBoxLayout>

#include "AbstractDevice.h"
#include "DebugGridDelegate.h"
#include "DebugViewHost.h"
#include "EditableGridModel.h"

DebugWindow::DebugWindow(QMainWindow* owner, DebugViewHost& host, int viewId, const QString& caption)
    : TDockableForm(owner, true, std::nullopt, kFloatHidden, caption), host_(host), viewId_(viewId)
{}

QFont DebugWindow::gridFont()
{
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

bool DebugWindow::beginViewRefresh()
{
    return CheckViewEnabled(host_.device(), viewId_) && BeginRefresh();
}

AbstractDevice* DebugWindow::currentDevice() const
{
    return host_.device();
}

std::optional<std::pair<int, int>> DebugWindow::rowsInView(const QTableView& grid) const
{
    const int rows = grid.model() ? grid.model()->rowCount() : 0;
    if (rows == 0 || DataNotAccessible() || !IsShowing())
        return std::nullopt;
    const int last = grid.rowAt(grid.viewport()->height() - 1);
    return std::make_pair(std::max(grid.rowAt(0), 0), last < 0 ? rows - 1 : last);
}

std::optional<DebugWindow::SourceLine> DebugWindow::sourceLineAt(unsigned address) const
{
    AbstractDevice* device = currentDevice();
    char* file = nullptr;
    SourceLine found;
    if (!device || device->AddressToLine(address, &file, &found.line) != tolvane::kStatusDone || !file)
        return std::nullopt;
    found.file = QFile::decodeName(file);
    return found;
}

void DebugWindow::setContentStack(std::initializer_list<QWidget*> controls)
{
    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QWidget* control : controls)
        layout->addWidget(control);
    SetContent(content);
}

void DebugWindow::setUpEditableGrid(QTableView& grid, EditableGridModel& model)
{
    grid.setModel(&model);
    grid.setItemDelegate(new DebugGridDelegate(&grid));
    grid.setSelectionMode(QAbstractItemView::SingleSelection);
    grid.setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                         | QAbstractItemView::AnyKeyPressed);
    grid.setContextMenuPolicy(Qt::CustomContextMenu);
}
