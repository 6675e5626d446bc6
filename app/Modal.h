// Showing a dialog modally.
#pragma once

class QDialog;
// Shows a dialog modally and returns its result; raises "Cannot make a visible window modal"
// when it is already shown.
int ShowModal(QDialog* dialog);
