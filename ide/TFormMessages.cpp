#include "TFormMessages.h"

#include <QEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>

#include "HourglassCursor.h"

TFormMessages::TFormMessages(QMainWindow* owner, bool noPlacement, std::optional<QRect> rect, int placement)
    : TDockableForm(owner, true, rect, placement, QStringLiteral("Messages")),
      memo_(new QPlainTextEdit(this)),
      popup_(new QMenu(this))
{
    memo_->setReadOnly(true);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setContextMenuPolicy(Qt::CustomContextMenu);
    memo_->viewport()->installEventFilter(this);
    SetContent(memo_);

    clear_ = popup_->addAction(QStringLiteral("Clear Messages"), this, &TFormMessages::MenuItemClearClick);
    popup_->addSeparator();
    copy_ = popup_->addAction(QStringLiteral("Copy "), this, &TFormMessages::MenuItemCopyClick);
    selectAll_ = popup_->addAction(QStringLiteral("Select All"), this, &TFormMessages::MenuItemSelectAllClick);
    connect(popup_, &QMenu::aboutToShow, this, &TFormMessages::PopupMenuPopup);
    connect(memo_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popup_->popup(memo_->viewport()->mapToGlobal(at)); });

    if (!noPlacement)
        Place(placement, rect);
}

void TFormMessages::AddMessage(const QString& text)
{
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    memo_->appendPlainText(line);
}

void TFormMessages::ClearMessages()
{
    memo_->clear();
}

QStringList TFormMessages::Lines() const
{
    if (memo_->document()->isEmpty())
        return {};
    return memo_->toPlainText().split(QLatin1Char('\n'));
}

bool TFormMessages::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == memo_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const bool handled = QObject::eventFilter(watched, event);
        QMetaObject::invokeMethod(this, &TFormMessages::MemoDblClick, Qt::QueuedConnection);
        return handled;
    }
    return TDockableForm::eventFilter(watched, event);
}

void TFormMessages::MemoDblClick()
{
    if (!locator_)
        return;
    platform::HourglassCursor wait;
    for (QTextBlock block = memo_->textCursor().block(); block.isValid(); block = block.previous()) {
        QString file;
        int line = 0;
        if (locator_(block.text(), &file, &line)) {
            if (opener_)
                opener_(file, line);
            return;
        }
    }
}

void TFormMessages::PopupMenuPopup()
{
    const bool any = !memo_->document()->isEmpty();
    copy_->setEnabled(memo_->textCursor().hasSelection());
    selectAll_->setEnabled(any);
    clear_->setEnabled(any);
}

void TFormMessages::MenuItemClearClick()
{
    ClearMessages();
}

void TFormMessages::MenuItemCopyClick()
{
    memo_->copy();
}

void TFormMessages::MenuItemSelectAllClick()
{
    memo_->selectAll();
}
