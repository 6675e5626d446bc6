// The monitors through Qt, whose screens are the X server's monitors.
#include "platform/Screen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace platform {
namespace {

void WatchScreen(QScreen* screen, QObject* context, const std::function<void()>& changed) {
    QObject::connect(screen, &QScreen::geometryChanged, context, changed);
}

} // namespace

template <> Monitors& Service<Monitors>::Real() {
    static Monitors monitors;
    return monitors;
}

void Monitors::TellWatchers() {
    std::erase_if(Watchers, [](const Watcher& w) { return !w.Context; });
    // A watcher may add another while it is told.
    const std::vector<Watcher> now = Watchers;
    for (const Watcher& w : now)
        if (w.Context) w.Changed();
}

QList<QRect> Monitors::All() {
    QList<QRect> screens;
    // Qt lists the primary screen first.
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->geometry());
    return screens;
}

QList<QRect> Screens() {
    return Current<Monitors>().All();
}

QRect PrimaryScreen() {
    const QList<QRect> screens = Screens();
    return screens.isEmpty() ? QRect() : screens.first();
}

void OnScreensChanged(QObject* context, std::function<void()> changed) {
    Current<Monitors>().OnChanged(context, std::move(changed));
}

void Monitors::OnChanged(QObject* context, std::function<void()> changed) {
    Watchers.push_back({context, changed});
    auto* app = qGuiApp;
    if (!app) return;
    for (QScreen* screen : QGuiApplication::screens())
        WatchScreen(screen, context, changed);
    QObject::connect(app, &QGuiApplication::screenAdded, context, [context, changed](QScreen* s) {
        WatchScreen(s, context, changed);
        changed();
    });
    QObject::connect(app, &QGuiApplication::screenRemoved, context, changed);
    QObject::connect(app, &QGuiApplication::primaryScreenChanged, context, changed);
}

QPoint KeepPressedPointUnder(const QWidget* window, QPoint moved, QPoint press) {
    return Current<Monitors>().KeepPressedPointUnder(window, moved, press);
}

QPoint Monitors::KeepPressedPointUnder(const QWidget* window, QPoint moved, QPoint press) {
    const QList<QScreen*> all = QGuiApplication::screens();
    const bool oneScale = std::all_of(all.begin(), all.end(), [&](const QScreen* s) {
        return s->devicePixelRatio() == all.first()->devicePixelRatio();
    });
    if (oneScale) return moved;
    // Qt keeps each screen's top-left corner in device pixels and scales its size: a point of a
    // screen lies at origin + (point - origin) * scale on the device.
    auto toDevice = [](const QScreen* s, QPointF p) {
        const QPointF origin = s->geometry().topLeft();
        return origin + (p - origin) * s->devicePixelRatio();
    };
    auto fromDevice = [](const QScreen* s, QPointF p) {
        const QPointF origin = s->geometry().topLeft();
        return origin + (p - origin) / s->devicePixelRatio();
    };
    auto onDevice = [&](const QScreen* s, QPointF p) {
        return QRectF(s->geometry().topLeft(), QSizeF(s->geometry().size()) * s->devicePixelRatio())
            .contains(p);
    };
    // The pointer, on the device: the step's own positions come through the window's place as Qt
    // last heard of it, which lags behind a window that changes screens.
    const QPoint cursor = QCursor::pos();
    QList<const QScreen*> order;
    if (const QScreen* at = QGuiApplication::screenAt(cursor)) order.append(at);
    for (const QScreen* s : all)
        if (!order.contains(s)) order.append(s);
    std::optional<QPointF> pointer;
    for (const QScreen* s : order)
        if (onDevice(s, toDevice(s, cursor))) {
            pointer = toDevice(s, cursor);
            break;
        }
    if (!pointer) return moved;
    // The place on the screen that will hold its middle there.
    const QPoint middle(window->width() / 2, window->height() / 2);
    for (const QScreen* s : order) {
        const QPointF p = fromDevice(s, *pointer) - QPointF(press);
        const QPoint place(int(std::lround(p.x())), int(std::lround(p.y())));
        if (s->geometry().contains(place + middle)) return place;
    }
    return moved;
}

} // namespace platform
