#pragma once
// How the plug-in's dialogs look and appear: OK and Cancel at the lower
// right, a fixed border, centred on the screen, modal over the host's windows.

class QDialog;
class QHBoxLayout;
class QPushButton;

namespace zern {

// The row of OK and Cancel at the dialog's lower right: OK is the default
// button and accepts, Cancel rejects.
QHBoxLayout* okCancelRow(QDialog& dialog, QPushButton* ok, QPushButton* cancel);

// Shows the dialog modally; its result.
int execCentred(QDialog& dialog);

}  // namespace zern
