#pragma once
// A list of texts handed out across the plug-in boundary as char** plus a
// count: it stays valid until it is filled again or destroyed.

#include <string>
#include <vector>

namespace zern {

class TextArray {
public:
    void assign(std::vector<std::string> texts)
    {
        texts_ = std::move(texts);
        pointers_.clear();
        for (std::string& text : texts_)
            pointers_.push_back(text.data());
        pointers_.push_back(nullptr);
    }
    char** data() { return pointers_.empty() ? emptyList() : pointers_.data(); }
    int count() const { return static_cast<int>(texts_.size()); }

private:
    static char** emptyList()
    {
        static char* none[] = {nullptr};
        return none;
    }

    std::vector<std::string> texts_;
    std::vector<char*> pointers_;
};

}  // namespace zern
