// A desktop for tests of the notification-area icon, in place while it lives: a pointer the test
// places, and a log of foreground requests and menus instead of real ones (a menu never blocks a
// test).
#pragma once

#include "platform/WindowMessages.h"

#include <QMenu>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

namespace vtest {

class FakeDesktop : public platform::Desktop {
public:
    QPoint CursorPos() override {
        ++CursorReads;
        return Cursor;
    }
    void SetForegroundWindow(QWidget* window) override {
        Foregrounds.push_back(window);
        Log << QStringLiteral("foreground %1").arg(window ? window->objectName() : QString());
    }
    void TrackPopupMenu(QMenu* menu, QPoint at) override {
        Menus.push_back(menu);
        Log << QStringLiteral("menu %1 at %2,%3")
                   .arg(menu ? menu->objectName() : QString())
                   .arg(at.x())
                   .arg(at.y());
        if (WhileMenuOpen) WhileMenuOpen(menu);
    }

    QPoint Cursor;
    int CursorReads = 0;
    QStringList Log;
    std::vector<QWidget*> Foregrounds;
    std::vector<QMenu*> Menus;
    // Runs while the menu is "open", e.g. to choose an entry.
    std::function<void(QMenu*)> WhileMenuOpen;

private:
    platform::Replace<platform::Desktop> InPlace{*this};
};

} // namespace vtest
