// Program entry: the application, its four windows, the message loop.
#include "app/CloseRequests.h"
#include "app/CommandLine.h"
#include "app/Globals.h"
#include "app/Theme.h"
#include "app/Unit1.h"
#include "platform/Display.h"
#include "platform/Heap.h"
#include "platform/WindowSystem.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <optional>

int main(int argc, char* argv[]) {
    DescribeApplication();
    if (const std::optional<int> status = ReadCommandLine(argc, argv)) return *status;
    platform::UseOneHeap();

    if (!std::getenv("QT_QPA_PLATFORM")) {
        // Looked at before the toolkit starts, which aborts where it finds no display.
        switch (platform::ReachableDisplay()) {
        case platform::DisplayKind::X11:
            // A frameless bar sits at exact coordinates, which X11 grants; on a Wayland session
            // XWayland provides it.
            qputenv("QT_QPA_PLATFORM", "xcb");
            break;
        case platform::DisplayKind::Wayland:
            qputenv("QT_QPA_PLATFORM", "wayland");
            break;
        case platform::DisplayKind::None:
            std::fprintf(stderr, "%s\n", platform::NoDisplayMessage().c_str());
            return 1;
        }
    }

    UseQtEventLoop();
    std::optional<BuiltInTheme> theme(std::in_place);
    QApplication app(argc, argv);
    theme.reset();
    if (platform::CompositorPlacesWindows())
        std::fputs("vantrel: the Wayland compositor decides where the bar is; the place it was "
                   "left at under X11 is kept\n",
                   stderr);
    // Before anything can raise a box.
    InstallCloseRequests();
    InstallTooltipTiming();
    // The program ends only through its own close path (Exit, the session's end, a signal): the
    // bar may be hidden with only the tray icon left, and a dialog closing is no reason to stop.
    QApplication::setQuitOnLastWindowClosed(false);

    // The bar first; then the window manager is asked, for the dialogs' first showing, which
    // frame it gives them.
    CreateForms([] {
        Vantrel->show();
        platform::ForeseeFrame(platform::DialogFlags);
    });
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
