#include "SourceModules.h"

#include "Text.h"

namespace asmplugin {

const Module* findModule(const std::vector<Module>& modules, const std::string& name, int occurrence)
{
    for (const Module& module : modules) {
        if (equalsIgnoringCase(module.name, name) && occurrence-- == 0)
            return &module;
    }
    return nullptr;
}

}  // namespace asmplugin
