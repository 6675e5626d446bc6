// Showing a dialog modally, and giving back what a closed window left behind.
#include "app/Modal.h"

#include "core/VError.h"
#include "platform/Heap.h"

#include <QDialog>
#include <QPixmapCache>
#include <QTimer>

int ShowModal(QDialog* dialog) {
    if (dialog->isVisible())
        throw VantrelError(QStringLiteral("Cannot make a visible window modal"));
    return dialog->exec();
}

void ReleaseAfterWindow() {
    QTimer::singleShot(0, [] {
        QPixmapCache::clear();
        platform::ReleaseFreeHeap();
        platform::ReleaseUnusedStack();
    });
}
