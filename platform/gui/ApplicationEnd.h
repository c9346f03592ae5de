#pragma once
// Ending the program from anywhere on the window thread. QCoreApplication::quit
// does nothing before the event loop runs, so a request made during start-up
// is remembered: the entry point returns instead of starting the loop, and a
// loop started anyway ends at once.

namespace platform {

void endApplication();
bool applicationEndRequested();

}  // namespace platform
