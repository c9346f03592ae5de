#include "Application.h"

#include <cstdio>

#include "MessageBoxes.h"

namespace platform {
namespace {

constexpr char kProgramTitle[] = "Tolvane";
constexpr char kUnknownException[] = "An unknown exception occurred.";

void showExceptionText(const char* text)
{
    messageBoxes().show(kProgramTitle, text, BoxButtons::Ok, BoxIcon::Error);
}

}  // namespace

void showException(const std::exception& error)
{
    showExceptionText(error.what());
}

void showUnknownException()
{
    showExceptionText(kUnknownException);
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        report(error.what());
    } catch (...) {
        report(kUnknownException);
    }
    return false;
}

void Application::report(const char* text)
{
    if (showingBox_) {
        std::fprintf(stderr, "%s: %s\n", kProgramTitle, text);
        return;
    }
    showingBox_ = true;
    try {
        showExceptionText(text);
    } catch (...) {
        std::fprintf(stderr, "%s: %s\n", kProgramTitle, text);
    }
    showingBox_ = false;
}

}  // namespace platform
