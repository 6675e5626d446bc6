// Program entry: the application, its four windows, the message loop.
#include "app/CloseRequests.h"
#include "app/CommandLine.h"
#include "app/Globals.h"
#include "app/Theme.h"
#include "app/Unit1.h"
#include "platform/Heap.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <optional>

int main(int argc, char* argv[]) {
    DescribeApplication();
    if (const std::optional<int> status = ReadCommandLine(argc, argv)) return *status;
    platform::UseOneHeap();

    const bool x11 = std::getenv("DISPLAY") && *std::getenv("DISPLAY");
    const bool wayland = std::getenv("WAYLAND_DISPLAY") && *std::getenv("WAYLAND_DISPLAY");
    if (!std::getenv("QT_QPA_PLATFORM")) {
        if (!x11 && !wayland) {
            std::fprintf(stderr, "vantrel: no display to show the bar on (neither DISPLAY nor "
                                 "WAYLAND_DISPLAY is set)\n");
            return 1;
        }
        // A frameless bar must sit at exact coordinates, which only X11 grants; on a Wayland
        // session XWayland provides it.
        if (x11) qputenv("QT_QPA_PLATFORM", "xcb");
    }

    UseQtEventLoop();
    std::optional<BuiltInTheme> theme(std::in_place);
    QApplication app(argc, argv);
    theme.reset();
    // Before anything can raise a box.
    InstallCloseRequests();
    InstallTooltipTiming();
    // The program ends only through its own close path (Exit, the session's end, a signal): the
    // bar may be hidden with only the tray icon left, and a dialog closing is no reason to stop.
    QApplication::setQuitOnLastWindowClosed(false);

    CreateForms([] { Vantrel->show(); });
    // What start-up needed only for a moment (plugin lists, the settings file, the pictures'
    // files, the deep calls of the toolkit's set-up) goes back to the system once the bar and its
    // icon are up.
    QTimer::singleShot(2000, [] {
        platform::ReleaseFreeHeap();
        platform::ReleaseUnusedStack();
    });
    const int status = ExecUntilClosed();
    DestroyForms();
    return status;
}
