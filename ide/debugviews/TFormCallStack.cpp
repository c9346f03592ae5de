#include "TFormCallStack.h"

#include <QListView>

#include "AbstractDevice.h"
#include "DebugViewHost.h"
#include "HourglassCursor.h"

TFormCallStack::TFormCallStack(QMainWindow* owner, DebugViewHost& host, std::optional<QRect> rect, int placement)
    : DebugWindow(owner, host, tolvane::kViewCallStack, QStringLiteral("Call Stack")),
      model_(this),
      list_(new QListView(this))
{
    setContentStack({list_});
    list_->setModel(&model_);
    list_->setFont(gridFont());
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(list_, &QAbstractItemView::doubleClicked, this, &TFormCallStack::HighlightFunctionCall);

    ResetView();
    Place(placement, rect);
}

void TFormCallStack::RefreshView()
{
    if (!beginViewRefresh())
        return;
    platform::HourglassCursor busy;
    model_.read(*currentDevice());
}

void TFormCallStack::HighlightFunctionCall()
{
    const QModelIndex selected = list_->currentIndex();
    if (!selected.isValid())
        return;
    std::optional<SourceLine> found;
    {
        platform::HourglassCursor busy;
        found = sourceLineAt(static_cast<unsigned>(model_.frameValue(selected.row())));
    }
    if (found)
        host().showSourceLine(found->file, found->line);
}
