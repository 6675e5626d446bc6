// Showing a dialog modally, and giving back what a closed window left behind.
#pragma once

class QDialog;
// Shows a dialog modally and returns its result; raises "Cannot make a visible window modal"
// when it is already shown.
int ShowModal(QDialog* dialog);
// Once the current event is handled, gives back what a window that just closed left behind:
// Qt's cache of drawn pictures (the style's frames and buttons), the heap's free pages and the
// stack pages its drawing used.
void ReleaseAfterWindow();
