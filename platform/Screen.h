// The monitors, as the placement rules need them.
#pragma once

#include "platform/Service.h"

#include <QList>
#include <QPointer>
#include <QRect>
#include <functional>
#include <vector>

class QObject;
class QWidget;

namespace platform {

// Every monitor's place and size in desktop pixels, the primary one first; taken anew at every
// call.
QList<QRect> Screens();
// The primary monitor's place and size (empty when there is none).
QRect PrimaryScreen();
// Calls changed whenever a monitor is added, removed or changes its place or size, until context
// is destroyed.
void OnScreensChanged(QObject* context, std::function<void()> changed);

// Where a window dragged to moved (a drag step worked out on the monitor it is on, the strip
// pressed at press) goes so that the pressed point stays under the pointer on monitors of
// different scale: Qt maps a window's place through the monitor its middle lies on, and a step
// that takes the middle onto a monitor of another scale would otherwise land scaled by it.
// Monitors of one scale leave moved as it is.
QPoint KeepPressedPointUnder(const QWidget* window, QPoint moved, QPoint press);

// The monitors Qt knows, and who is told of their changes.
class Monitors {
public:
    virtual ~Monitors() = default;
    virtual QList<QRect> All();
    void OnChanged(QObject* context, std::function<void()> changed);
    virtual QPoint KeepPressedPointUnder(const QWidget* window, QPoint moved, QPoint press);

protected:
    // Tells every watcher whose context still lives.
    void TellWatchers();

private:
    struct Watcher {
        QPointer<QObject> Context;
        std::function<void()> Changed;
    };
    std::vector<Watcher> Watchers;
};
template <> Monitors& Service<Monitors>::Real();

} // namespace platform
