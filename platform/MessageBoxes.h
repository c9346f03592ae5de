#pragma once
// Message boxes and confirmations behind one small interface, so that every
// caller can be tested headless with a recording fake.

#include <deque>
#include <string>
#include <vector>

namespace platform {

inline constexpr const char kErrorCaption[] = "Error! - Tolvane";
inline constexpr const char kConfirmCaption[] = "Confirm";

enum class BoxButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class BoxIcon { None, Error, Warning, Information, Question };
enum class BoxAnswer { Ok, Cancel, Yes, No };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual BoxAnswer show(const std::string& caption, const std::string& text, BoxButtons buttons, BoxIcon icon) = 0;
};

// The boxes every caller uses: an installed one, else the process default
// (a GUI box with a running application, standard error without one).
MessageBoxes& messageBoxes();
// Installs boxes for this process (null restores the default); returns the previous.
MessageBoxes* setMessageBoxes(MessageBoxes* boxes);
// Installs the process default; the GUI layer calls this once.
void setDefaultMessageBoxes(MessageBoxes* boxes);

inline BoxAnswer showError(const std::string& text)
{
    return messageBoxes().show(kErrorCaption, text, BoxButtons::Ok, BoxIcon::Error);
}

// Writes caption and text to standard error and answers as if OK (or Yes) was pressed.
class ConsoleMessageBoxes final : public MessageBoxes {
public:
    BoxAnswer show(const std::string& caption, const std::string& text, BoxButtons buttons, BoxIcon icon) override;
};

// Records every box and answers from a script (Ok/Yes when the script is empty).
class RecordingMessageBoxes final : public MessageBoxes {
public:
    struct Box {
        std::string caption;
        std::string text;
        BoxButtons buttons;
        BoxIcon icon;
    };
    BoxAnswer show(const std::string& caption, const std::string& text, BoxButtons buttons, BoxIcon icon) override;

    std::vector<Box> boxes;
    std::deque<BoxAnswer> answers;
};

// Installs a box implementation for the lifetime of the guard.
class ScopedMessageBoxes {
public:
    explicit ScopedMessageBoxes(MessageBoxes& boxes) : previous_(setMessageBoxes(&boxes)) {}
    ~ScopedMessageBoxes() { setMessageBoxes(previous_); }
    ScopedMessageBoxes(const ScopedMessageBoxes&) = delete;
    ScopedMessageBoxes& operator=(const ScopedMessageBoxes&) = delete;

private:
    MessageBoxes* previous_;
};

}  // namespace platform
