// A screenshot of a rectangle of KWin's screen, what the compositor shows there (Wayland
// windows too), through KWin's screenshot service on the session bus, for the end-to-end
// scripts:
//
//   kwin_shot FILE.png X Y WIDTH HEIGHT
//
// Exits 0 with the picture written, 1 where KWin gives none.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>
#include <QImage>
#include <QVariantMap>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 6) {
        std::fprintf(stderr, "usage: kwin_shot FILE.png X Y WIDTH HEIGHT\n");
        return 2;
    }
    // A compositor that never writes the picture does not hold the test up.
    ::alarm(15);
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) return 1;
    // The call holds a copy of the write end: the picture's end is seen once both are closed.
    QVariantMap info;
    {
        QDBusMessage call = QDBusMessage::createMethodCall(
            "org.kde.KWin", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2", "CaptureArea");
        call << QString(argv[2]).toInt() << QString(argv[3]).toInt() << QString(argv[4]).toUInt()
             << QString(argv[5]).toUInt() << QVariantMap()
             << QVariant::fromValue(QDBusUnixFileDescriptor(pipe[1]));
        ::close(pipe[1]);
        const QDBusReply<QVariantMap> reply =
            QDBusConnection::sessionBus().call(call, QDBus::Block, 10000);
        if (!reply.isValid()) {
            std::fprintf(stderr, "kwin_shot: %s\n", qPrintable(reply.error().message()));
            return 1;
        }
        info = reply.value();
    }
    const int width = info.value("width").toInt(), height = info.value("height").toInt();
    const int stride = info.value("stride").toInt(), format = info.value("format").toInt();
    QByteArray data;
    char chunk[65536];
    for (ssize_t n; (n = ::read(pipe[0], chunk, sizeof chunk)) > 0;)
        data.append(chunk, n);
    ::close(pipe[0]);
    if (width <= 0 || height <= 0 || data.size() < qsizetype(stride) * height) {
        std::fprintf(stderr, "kwin_shot: no picture (%d x %d, %lld bytes)\n", width, height,
                     static_cast<long long>(data.size()));
        return 1;
    }
    const QImage image(reinterpret_cast<const uchar*>(data.constData()), width, height, stride,
                       QImage::Format(format));
    return image.save(argv[1]) ? 0 : 1;
}
