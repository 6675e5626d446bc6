// Showing a dialog modally.
#include "app/Modal.h"

#include "core/VError.h"

#include <QDialog>

int ShowModal(QDialog* dialog) {
    if (dialog->isVisible())
        throw VantrelError(QStringLiteral("Cannot make a visible window modal"));
    return dialog->exec();
}
