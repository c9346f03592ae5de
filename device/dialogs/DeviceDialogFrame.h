#pragma once
// How the plug-in's dialogs appear: a fixed border, centred on the screen,
// modal over the host's windows.

class QDialog;

namespace zern {

// Shows the dialog modally; its result.
int execCentred(QDialog& dialog);

}  // namespace zern
