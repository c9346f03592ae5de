// Renders the main window as it opens, with default settings, to a PNG for a
// person to look at.

#include "TMainForm.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s output.png\n", argv[0]);
        return 2;
    }
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    QApplication application(argc, argv);
    TMainForm form;
    form.show();
    bool saved = false;
    QTimer::singleShot(500, &form, [&] {
        saved = form.grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
        application.quit();
    });
    application.exec();
    if (!saved)
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return saved ? 0 : 1;
}
