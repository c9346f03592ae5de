#pragma once
// The border of a dialog: a caption with only a close box, no minimise or
// maximise box, and at least as wide as its caption needs, so that the title
// bar shows it whole. A fixed dialog takes its size from its contents and
// cannot be resized; a sizable one can grow from there.

class QDialog;

namespace platform {

enum class DialogSizing { Fixed, Sizable };

// Call once the dialog has its caption and its layout; a later call changes nothing.
void giveDialogBorder(QDialog& dialog, DialogSizing sizing = DialogSizing::Fixed);

}  // namespace platform
