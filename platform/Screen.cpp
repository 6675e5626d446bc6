// The monitors through Qt, whose screens are the X server's monitors.
#include "platform/Screen.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <utility>
#include <vector>

namespace platform {
namespace {

QList<QRect> Fixed;

struct Watcher {
    QPointer<QObject> Context;
    std::function<void()> Changed;
};
std::vector<Watcher>& Watchers() {
    static std::vector<Watcher> watchers;
    return watchers;
}

void TellWatchers() {
    auto& watchers = Watchers();
    std::erase_if(watchers, [](const Watcher& w) { return !w.Context; });
    // A watcher may add another while it is told.
    const std::vector<Watcher> now = watchers;
    for (const Watcher& w : now)
        if (w.Context) w.Changed();
}

void WatchScreen(QScreen* screen, QObject* context, const std::function<void()>& changed) {
    QObject::connect(screen, &QScreen::geometryChanged, context, changed);
}

} // namespace

QList<QRect> Screens() {
    if (!Fixed.isEmpty()) return Fixed;
    QList<QRect> screens;
    // Qt lists the primary screen first.
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->geometry());
    return screens;
}

QRect PrimaryScreen() {
    const QList<QRect> screens = Screens();
    return screens.isEmpty() ? QRect() : screens.first();
}

QSize ScreenSize() {
    return PrimaryScreen().size();
}

void OnScreensChanged(QObject* context, std::function<void()> changed) {
    Watchers().push_back({context, changed});
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

void SetScreens(const QList<QRect>& screens) {
    Fixed = screens;
    TellWatchers();
}

void SetScreenSize(QSize size) {
    SetScreens(size.isEmpty() ? QList<QRect>() : QList<QRect>{QRect(QPoint(), size)});
}

} // namespace platform
