#pragma once
// What a build knows about its sources: the preprocessed modules, and the map
// from code addresses to source lines that the listing gives.

#include <string>
#include <vector>

namespace asmplugin {

// One preprocessed source: its module name (or, after a failed preprocessor
// run, the source path itself) and the full path of the source file.
struct Module {
    std::string name;
    std::string sourcePath;
};

struct MapEntry {
    unsigned address;
    int line;
    int fileIndex;  // into the source file list; -1 for none

    bool operator==(const MapEntry&) const = default;
};

// The source path of the occurrence-th module (counted from 0) whose name
// matches without regard to case, so that two sources sharing a stem each
// keep their own file; null when there is none.
const Module* findModule(const std::vector<Module>& modules, const std::string& name, int occurrence);

}  // namespace asmplugin
