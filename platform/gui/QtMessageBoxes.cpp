#include "QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include "DialogBorder.h"

namespace platform {
namespace {

QMessageBox::StandardButtons standardButtons(BoxButtons buttons)
{
    switch (buttons) {
    case BoxButtons::Ok:
        return QMessageBox::Ok;
    case BoxButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case BoxButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case BoxButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon standardIcon(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::None:
        return QMessageBox::NoIcon;
    case BoxIcon::Error:
        return QMessageBox::Critical;
    case BoxIcon::Warning:
        return QMessageBox::Warning;
    case BoxIcon::Information:
        return QMessageBox::Information;
    case BoxIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

BoxAnswer answerFor(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return BoxAnswer::Yes;
    case QMessageBox::No:
        return BoxAnswer::No;
    case QMessageBox::Cancel:
        return BoxAnswer::Cancel;
    default:
        return BoxAnswer::Ok;
    }
}

// Closing the box without a button counts as the most cautious answer.
QMessageBox::StandardButton escapeButton(BoxButtons buttons)
{
    switch (buttons) {
    case BoxButtons::Ok:
        return QMessageBox::Ok;
    case BoxButtons::YesNo:
        return QMessageBox::No;
    case BoxButtons::OkCancel:
    case BoxButtons::YesNoCancel:
        return QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

BoxAnswer runBox(const std::string& caption, const std::string& text, BoxButtons buttons, BoxIcon icon)
{
    QMessageBox box(standardIcon(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    standardButtons(buttons), QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.setEscapeButton(escapeButton(buttons));
    // The box fixes its own size; the border only widens it for its caption.
    giveDialogBorder(box, DialogSizing::Sizable);
    const int button = box.exec();
    return box.clickedButton() ? answerFor(button) : answerFor(escapeButton(buttons));
}

}  // namespace

BoxAnswer QtMessageBoxes::show(const std::string& caption, const std::string& text, BoxButtons buttons, BoxIcon icon)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!qobject_cast<QApplication*>(application))
        return console_.show(caption, text, buttons, icon);
    if (QThread::currentThread() == application->thread())
        return runBox(caption, text, buttons, icon);
    BoxAnswer answer = BoxAnswer::Ok;
    QMetaObject::invokeMethod(
        application, [&] { return runBox(caption, text, buttons, icon); }, Qt::BlockingQueuedConnection, &answer);
    return answer;
}

}  // namespace platform
