#include "DebugWindow.h"

#include <QTableView>
#include <QVBoxLayout>

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
