// Termination signals through a self-pipe into the event loop, the session manager's save, and
// the save before a lost display ends the program.
#include "app/CloseRequests.h"

#include "app/Globals.h"
#include "app/Unit1.h"
#include "platform/ErrorReport.h"

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

constexpr int Signals[] = {SIGTERM, SIGHUP, SIGINT};
// Past this the program is ended whatever it waits for: the save's lock wait is shorter.
constexpr unsigned EndDeadlineSeconds = 4;

// Namespace-level because the signal handler can reach nothing else async-signal-safely.
int WakeWrite = -1;

// Failures once the program is ending: nobody is there to answer a box any more.
class StandardErrorReport final : public platform::ErrorReport {
public:
    void Show(const QString& text) override {
        std::fprintf(stderr, "vantrel: %s\n", qPrintable(platform::ErrorText(text)));
    }
};

// What the close requests keep while they are installed.
struct Requests {
    int WakeRead = -1;
    QSocketNotifier* Notifier = nullptr;
    QMetaObject::Connection SessionConnection;
    QtMessageHandler PreviousHandler = nullptr;
    // Once the program is ending, its failures are reported on standard error.
    StandardErrorReport OnStandardError;
    std::optional<platform::Replace<platform::ErrorReport>> Ending;
    // How the ending went, once its save was tried.
    std::optional<int> EndStatus;
};
// Reached from Qt's message handler, a plain function.
std::unique_ptr<Requests> Installed;

// All a signal handler may safely do: wake the event loop.
void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(WakeWrite, &byte, 1);
    errno = saved;
}

void BeginEnding() {
    Installed->Ending.emplace(Installed->OnStandardError);
}

// The bar has been shown, so every setting has been read (before that a save would write half
// of them), and it has not been closed yet.
bool BarIsUp() {
    return Vantrel && Vantrel->Started() && Vantrel->isVisible();
}

void OnWake() {
    char buffer[64];
    while (::read(Installed->WakeRead, buffer, sizeof buffer) > 0) {
    }
    if (Installed->Ending) return;
    BeginEnding();
    ::alarm(EndDeadlineSeconds);
    if (!Vantrel || !Vantrel->Started() || Vantrel->Closing()) {
        // Inside a box: of start-up (ExecUntilClosed closes the bar once it is up), or of a
        // close under way, which finishes once the box is gone.
        QCoreApplication::exit(1);
        return;
    }
    if (!Vantrel->isVisible()) return; // closed already; the loop is about to end
    Installed->EndStatus = Vantrel->close() ? 0 : 1;
    QCoreApplication::exit(*Installed->EndStatus);
}

// Qt ends the program when the connection to the X server breaks; the settings are saved first.
void OnMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (!Installed) return;
    if (Installed->PreviousHandler) Installed->PreviousHandler(type, context, text);
    if (type != QtWarningMsg && type != QtCriticalMsg && type != QtFatalMsg) return;
    if (!text.startsWith(QLatin1String("The X11 connection broke"))) return;
    if (Installed->Ending || !BarIsUp() || QThread::currentThread() != qApp->thread()) return;
    BeginEnding();
    const bool saved = !Vantrel->Closing() && Vantrel->QueryClose();
    std::fprintf(stderr, saved ? "vantrel: the display went away; the settings were saved\n"
                               : "vantrel: the display went away; the settings were not saved\n");
}

} // namespace

void InstallCloseRequests() {
    if (!qGuiApp || Installed) return;
    int fds[2];
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return;
    Installed = std::make_unique<Requests>();
    Installed->WakeRead = fds[0];
    WakeWrite = fds[1];
    Installed->Notifier = new QSocketNotifier(fds[0], QSocketNotifier::Read, qGuiApp);
    QObject::connect(Installed->Notifier, &QSocketNotifier::activated, qGuiApp, &OnWake);

    struct sigaction action = {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : Signals) {
        struct sigaction old = {};
        if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        ::sigaction(sig, &action, nullptr);
    }

    // The end of the session: save as a close would, without closing yet (the session manager
    // ends the program afterwards). A save that fails holds the logout back where allowed.
    Installed->SessionConnection = QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest,
                                                    qGuiApp, [](QSessionManager& manager) {
                                                        if (!Vantrel || Vantrel->QueryClose())
                                                            return;
                                                        if (manager.allowsErrorInteraction())
                                                            manager.cancel();
                                                    });
    Installed->PreviousHandler = qInstallMessageHandler(&OnMessage);
}

void RemoveCloseRequests() {
    if (!Installed) return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int sig : Signals) {
        struct sigaction old = {};
        if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == &OnSignal)
            ::sigaction(sig, &action, nullptr);
    }
    QObject::disconnect(Installed->SessionConnection);
    delete Installed->Notifier;
    ::close(Installed->WakeRead);
    ::close(WakeWrite);
    WakeWrite = -1;
    qInstallMessageHandler(Installed->PreviousHandler);
    if (Installed->Ending) ::alarm(0);
    Installed.reset();
}

// True once a close request has begun the ending (it may come while the loop runs).
bool IsEnding() {
    return Installed && Installed->Ending;
}

int ExecUntilClosed() {
    int status = 1;
    if (!IsEnding())
        status = QApplication::exec();
    else if (Installed->EndStatus)
        status = *Installed->EndStatus;
    else if (Vantrel && Vantrel->close())
        status = 0;
    if (IsEnding() && status != 0)
        std::fprintf(stderr, "vantrel: ended before the settings could be saved; the settings "
                             "file was left as it was\n");
    return status;
}
