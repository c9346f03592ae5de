#pragma once
// A list of texts handed out across the plug-in boundary as char** plus a
// count: it stays valid until it is filled again or destroyed.

#include <string>
#include <vector>

namespace zern {

class TextArray {
public:
    // Takes the texts only when their pointer list could be built: a list
    // handed out is whole or the previous one.
    void assign(std::vector<std::string> texts)
    {
        std::vector<char*> pointers;
        pointers.reserve(texts.size() + 1);
        for (std::string& text : texts)
            pointers.push_back(text.data());
        pointers.push_back(nullptr);
        // Moving the vector keeps its strings where they are.
        texts_ = std::move(texts);
        pointers_ = std::move(pointers);
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
