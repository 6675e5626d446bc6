// The look Vantrel gives itself: Qt's built-in theme instead of a desktop theme plugin, and the
// tooltip timing of the bar.
#pragma once

#include <QByteArray>

// Keeps Qt from loading a desktop theme plugin (the GTK one weighs tens of megabytes) while the
// application object is created; the user's own QT_QPA_PLATFORMTHEME is left alone. Construct it
// before QApplication and destroy it right after: the environment comes back as it was.
class BuiltInTheme {
public:
    BuiltInTheme();
    ~BuiltInTheme();
    BuiltInTheme(const BuiltInTheme&) = delete;
    BuiltInTheme& operator=(const BuiltInTheme&) = delete;

private:
    bool Active = false;
    QByteArray Desktop, Session;
    bool HadDesktop = false, HadSession = false;
};

// Tooltips appear after the mouse has rested 500 ms.
void InstallTooltipTiming();

// Has Qt run its own event loop rather than GLib's, which keeps more memory for the same work
// (in the main thread and in every thread Qt starts later, hence for the program's whole run).
// Left to GLib when the user names a platform theme (such a plugin may rely on GLib's loop) or
// has chosen the loop with QT_NO_GLIB. Call it before the application object is made.
void UseQtEventLoop();
