#include <new>

#include "PluginExport.h"
#include "QuorinAssembler.h"

TOLVANE_PLUGIN_EXPORT int _GetCompilerVersion()
{
    return tolvane::kCompilerInterfaceVersion;
}

TOLVANE_PLUGIN_EXPORT int _GetDeviceVersion()
{
    return tolvane::kDeviceInterfaceVersion;
}

TOLVANE_PLUGIN_EXPORT AbstractCompiler* _GetCompilerInstance()
{
    return new (std::nothrow) asmplugin::QuorinAssembler();
}

TOLVANE_PLUGIN_EXPORT void _FreeCompilerInstance(AbstractCompiler* compiler)
{
    delete static_cast<asmplugin::QuorinAssembler*>(compiler);
}
