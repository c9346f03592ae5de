#pragma once
// A plug-in's log of its link: owned by the device object, so that it
// outlives each link, and written in the plug-in's own format by its links.
// A plug-in without one gets a log that never opens.

#include <string>

namespace zern {

class LinkLog {
public:
    virtual ~LinkLog() = default;

    // Starts logging into the file, replacing its content; false when it cannot be opened.
    virtual bool open(const std::string& path) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
};

class NoLinkLog final : public LinkLog {
public:
    bool open(const std::string&) override { return false; }
    void close() override {}
    bool isOpen() const override { return false; }
};

}  // namespace zern
