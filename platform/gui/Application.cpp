#include "Application.h"

#include <cstdio>

#include "MessageBoxes.h"

namespace platform {
namespace {

constexpr char kProgramTitle[] = "Tolvane";
constexpr char kUnknownException[] = "An unknown exception occurred.";

}  // namespace

void showException(const std::exception& error)
{
    messageBoxes().show(kProgramTitle, error.what(), BoxButtons::Ok, BoxIcon::Error);
}

void showUnknownException()
{
    messageBoxes().show(kProgramTitle, kUnknownException, BoxButtons::Ok, BoxIcon::Error);
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        report(&error);
    } catch (...) {
        report(nullptr);
    }
    return false;
}

void Application::report(const std::exception* error)
{
    if (showingBox_) {
        std::fprintf(stderr, "%s: %s\n", kProgramTitle, error ? error->what() : kUnknownException);
        return;
    }
    showingBox_ = true;
    try {
        error ? showException(*error) : showUnknownException();
    } catch (...) {
        std::fprintf(stderr, "%s: %s\n", kProgramTitle, error ? error->what() : kUnknownException);
    }
    showingBox_ = false;
}

}  // namespace platform
