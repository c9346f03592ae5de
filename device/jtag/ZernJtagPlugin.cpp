// The ZernJTAG plug-in: the shared device object with the adapter board's
// traits, and its dialogs when the GUI layer is built in.

#include "DeviceExports.h"
#include "ZernJtagTraits.h"

#ifdef TOLVANE_JTAG_DIALOGS
#include "JtagDialogTraits.h"
#endif

const zern::DeviceTraits& zern::pluginTraits()
{
#ifdef TOLVANE_JTAG_DIALOGS
    return zernJtagTraitsWithDialogs();
#else
    return kZernJtagTraits;
#endif
}
