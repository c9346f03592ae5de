#pragma once
// Where a link driver's messages go: lines for the Messages window, and the
// form of a link failure (an empty line, the text, and the advice to check
// the connections). Without a callback every message is dropped.

#include <string>

#include "AbstractDevice.h"

namespace zern {

class LinkMessages {
public:
    explicit LinkMessages(DeviceMessageCallback callback) : callback_(callback) {}

    void line(const std::string& text) const;
    void linkError(const std::string& text) const;

private:
    DeviceMessageCallback callback_;
};

}  // namespace zern
