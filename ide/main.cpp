#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    application.setApplicationName(QStringLiteral("Tolvane"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tolvane"));
    window.show();
    return application.exec();
}
