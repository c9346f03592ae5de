#pragma once
// Acting on a modal dialog as a user would: the step runs once the dialog is
// shown, from inside its event loop, and must close it. The step waits until
// then; deleting the returned timer drops a step whose dialog never came.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>

template <typename Dialog>
QPointer<QTimer> onNextDialog(std::function<void(Dialog&)> step)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        step(*dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the step left the dialog open";
            dialog->reject();
        }
    });
    timer->start();
    return timer;
}

// Types into a field as a user does: what is there is selected, then replaced.
inline void typeInto(QWidget* field, const QString& text)
{
    if (auto* combo = qobject_cast<QComboBox*>(field))
        field = combo->lineEdit();
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

// Types a name into a file dialog's name field and accepts it as Enter does
// once the dialog has looked the name up. Typed as a whole: the dialog's
// completion would pick among the folder's files. The dialog's own look-up
// runs on a thread of its own and does not always come in time to enable Open.
inline void typeFileName(QFileDialog& dialog, const QString& name)
{
    auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(field, nullptr);
    field->setCompleter(nullptr);
    typeInto(field, name);
    static_cast<QDialog&>(dialog).accept();
}

// Runs the command, which opens a file dialog; gives the folder the dialog
// showed first, and cancels it. Empty when no file dialog came.
inline QString folderOfNextFileDialog(const std::function<void()>& command)
{
    QString shown;
    QPointer<QTimer> step = onNextDialog<QFileDialog>([&shown](QFileDialog& dialog) {
        shown = dialog.directory().absolutePath();
        dialog.reject();
    });
    command();
    delete step;
    return shown;
}

inline void press(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// Opens the menu with a click on its title in the window's menu bar, then
// clicks the entry. An entry that opens a modal dialog returns once it closes.
inline void chooseMenuEntry(QMainWindow& window, QMenu& menu, QAction& entry)
{
    QMenuBar* bar = window.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu.menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([&menu] { return menu.isVisible(); }));
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(&entry).center());
}

// Clicks a check or radio box when it is not already as wanted.
inline void tick(QAbstractButton* box, bool on)
{
    if (box->isChecked() != on)
        press(box);
}

// Takes the place of the desktop's file associations: every local file a
// program asks to open is recorded instead.
class DesktopRecorder : public QObject {
    Q_OBJECT

public:
    DesktopRecorder() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~DesktopRecorder() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    QStringList opened;

public slots:
    void open(const QUrl& url) { opened << url.toLocalFile(); }
};
