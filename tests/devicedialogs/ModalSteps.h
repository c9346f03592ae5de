#pragma once
// Acting on a modal dialog as a user would: the step runs once the dialog is
// shown, from inside its event loop, and must close it. The step waits until
// then; deleting the returned timer drops a step whose dialog never came.

#include <QApplication>
#include <QDesktopServices>
#include <QPointer>
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
