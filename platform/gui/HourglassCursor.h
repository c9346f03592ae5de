#pragma once
// Shows the busy cursor for the guard's lifetime; the previous cursor comes
// back however the scope is left. Guards nest. Without a GUI application, or
// off the window thread, the guard does nothing.

namespace platform {

class HourglassCursor {
public:
    HourglassCursor();
    ~HourglassCursor();
    HourglassCursor(const HourglassCursor&) = delete;
    HourglassCursor& operator=(const HourglassCursor&) = delete;

private:
    bool active_;
};

}  // namespace platform
