#include <new>

#include "PluginExport.h"
#include "QuorinAssembler.h"

#ifdef TOLVANE_PLUGIN_GUI_BOXES
#include "QtMessageBoxes.h"

// This library's boxes are dialogs on the host's window thread when the host
// runs a Qt application, and console lines otherwise.
static platform::DefaultQtMessageBoxes pluginBoxes;
#endif

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
