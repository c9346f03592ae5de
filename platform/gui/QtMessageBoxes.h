#pragma once
// Message boxes as Qt dialogs. A box asked for from another thread is shown on
// the window thread while the asking thread waits for the answer; without a
// QApplication the console boxes answer instead.

#include "MessageBoxes.h"

namespace platform {

class QtMessageBoxes final : public MessageBoxes {
public:
    BoxAnswer show(const std::string& caption, const std::string& text, BoxButtons buttons, BoxIcon icon) override;

private:
    ConsoleMessageBoxes console_;
};

// Makes the Qt boxes the process default for as long as the guard lives.
class DefaultQtMessageBoxes {
public:
    DefaultQtMessageBoxes() { setDefaultMessageBoxes(&boxes_); }
    ~DefaultQtMessageBoxes() { setDefaultMessageBoxes(nullptr); }
    DefaultQtMessageBoxes(const DefaultQtMessageBoxes&) = delete;
    DefaultQtMessageBoxes& operator=(const DefaultQtMessageBoxes&) = delete;

private:
    QtMessageBoxes boxes_;
};

}  // namespace platform
