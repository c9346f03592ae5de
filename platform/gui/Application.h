#pragma once
// The application object of the IDE. An exception that reaches the event loop
// from an event handler or a slot is shown in the exception box, and the
// program goes on with the next event: letting it through Qt's own frames
// would end the program.

#include <QApplication>
#include <exception>

namespace platform {

// The exception box: the program's title as its caption, the exception's
// text, the error icon.
void showException(const std::exception& error);
void showUnknownException();

class Application : public QApplication {
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    // `text` is the exception's own or the fixed one for an unknown exception.
    void report(const char* text);

    // One box at a time: an exception raised while a box is up (its own
    // event loop delivers events too) goes to standard error.
    bool showingBox_ = false;
};

}  // namespace platform
