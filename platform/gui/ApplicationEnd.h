#pragma once
// Ending the program from anywhere on the window thread. QCoreApplication::quit
// does nothing before the event loop runs, so a request made during start-up
// is remembered and the entry point returns instead of starting the loop.

namespace platform {

void endApplication();
bool applicationEndRequested();

}  // namespace platform
