// Primary display size through Qt.
#include "platform/Screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform {
namespace {
QSize Fixed;
}

QSize ScreenSize() {
    if (!Fixed.isEmpty()) return Fixed;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) return screen->geometry().size();
    return QSize(0, 0);
}

void SetScreenSize(QSize size) {
    Fixed = size;
}

} // namespace platform
