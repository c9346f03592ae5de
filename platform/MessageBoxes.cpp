#include "MessageBoxes.h"

#include <atomic>
#include <cstdio>

namespace platform {
namespace {

BoxAnswer positiveAnswer(BoxButtons buttons)
{
    return buttons == BoxButtons::YesNo || buttons == BoxButtons::YesNoCancel ? BoxAnswer::Yes : BoxAnswer::Ok;
}

ConsoleMessageBoxes consoleBoxes;
std::atomic<MessageBoxes*> installedBoxes{nullptr};
std::atomic<MessageBoxes*> defaultBoxes{&consoleBoxes};

}  // namespace

MessageBoxes& messageBoxes()
{
    if (MessageBoxes* boxes = installedBoxes.load())
        return *boxes;
    return *defaultBoxes.load();
}

MessageBoxes* setMessageBoxes(MessageBoxes* boxes)
{
    return installedBoxes.exchange(boxes);
}

void setDefaultMessageBoxes(MessageBoxes* boxes)
{
    defaultBoxes.store(boxes ? boxes : &consoleBoxes);
}

BoxAnswer ConsoleMessageBoxes::show(const std::string& caption, const std::string& text, BoxButtons buttons, BoxIcon)
{
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return positiveAnswer(buttons);
}

BoxAnswer RecordingMessageBoxes::show(const std::string& caption, const std::string& text, BoxButtons buttons,
                                      BoxIcon icon)
{
    boxes.push_back({caption, text, buttons, icon});
    if (answers.empty())
        return positiveAnswer(buttons);
    const BoxAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

}  // namespace platform
