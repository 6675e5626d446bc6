// Termination signals through a self-pipe into the event loop, and the session manager's save.
#include "app/CloseRequests.h"

#include "app/Globals.h"
#include "app/Unit1.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int Signals[] = {SIGTERM, SIGHUP, SIGINT};

int WakeRead = -1;
int WakeWrite = -1;
QSocketNotifier* Notifier = nullptr;
QMetaObject::Connection SessionConnection;

// All a signal handler may safely do: wake the event loop.
void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(WakeWrite, &byte, 1);
    errno = saved;
}

void OnWake() {
    char buffer[64];
    while (::read(WakeRead, buffer, sizeof buffer) > 0) {
    }
    if (Vantrel) Vantrel->close();
}

} // namespace

void InstallCloseRequests() {
    if (!qGuiApp || Notifier) return;
    int fds[2];
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return;
    WakeRead = fds[0];
    WakeWrite = fds[1];
    Notifier = new QSocketNotifier(WakeRead, QSocketNotifier::Read, qGuiApp);
    QObject::connect(Notifier, &QSocketNotifier::activated, qGuiApp, &OnWake);

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
    SessionConnection = QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, qGuiApp,
                                         [](QSessionManager& manager) {
                                             if (!Vantrel || Vantrel->QueryClose()) return;
                                             if (manager.allowsErrorInteraction()) manager.cancel();
                                         });
}

void RemoveCloseRequests() {
    if (!Notifier) return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int sig : Signals) {
        struct sigaction old = {};
        if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == &OnSignal)
            ::sigaction(sig, &action, nullptr);
    }
    QObject::disconnect(SessionConnection);
    delete Notifier;
    Notifier = nullptr;
    ::close(WakeRead);
    ::close(WakeWrite);
    WakeRead = WakeWrite = -1;
}
