#pragma once
// One ordered record of what the fake device and the fake main window were
// asked to do; the worker thread writes to it too.

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

class EventLog {
public:
    void add(std::string event)
    {
        const std::lock_guard guard(lock_);
        events_.push_back(std::move(event));
    }
    std::vector<std::string> events() const
    {
        const std::lock_guard guard(lock_);
        return events_;
    }
    void clear()
    {
        const std::lock_guard guard(lock_);
        events_.clear();
    }
    int count(const std::string& event) const
    {
        const std::lock_guard guard(lock_);
        return static_cast<int>(std::count(events_.begin(), events_.end(), event));
    }
    bool has(const std::string& event) const { return count(event) > 0; }
    // Position of the first occurrence, or -1.
    int indexOf(const std::string& event) const
    {
        const std::lock_guard guard(lock_);
        const auto found = std::find(events_.begin(), events_.end(), event);
        return found == events_.end() ? -1 : static_cast<int>(found - events_.begin());
    }

private:
    mutable std::mutex lock_;
    std::vector<std::string> events_;
};
