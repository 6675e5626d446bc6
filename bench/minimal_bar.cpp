// The yardstick: the least a Qt 6 program can do to show one memory bar from /proc/meminfo on a
// 1.5 s timer (with a tray icon when given --tray). measure.sh runs it beside Vantrel.
#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <cstring>

namespace {

int LoadPercent() {
    QFile f(QStringLiteral("/proc/meminfo"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    qint64 total = 0, avail = 0;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("MemTotal:"))
            total = line.mid(9).trimmed().split(' ').value(0).toLongLong();
        if (line.startsWith("MemAvailable:"))
            avail = line.mid(13).trimmed().split(' ').value(0).toLongLong();
    }
    return total > 0 ? int(100 - avail * 100 / total) : 0;
}

class Bar : public QWidget {
public:
    Bar() : QWidget(nullptr, Qt::FramelessWindowHint) {
        setFixedSize(177, 21);
        timer.setTimerType(Qt::CoarseTimer);
        connect(&timer, &QTimer::timeout, this, [this] {
            const int load = LoadPercent();
            if (load != last) {
                last = load;
                update();
            }
        });
        timer.start(1500);
        last = LoadPercent();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::lightGray);
        p.fillRect(16, 4, last * 136 / 100, 13, Qt::blue);
    }

private:
    QTimer timer;
    int last = 0;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Bar bar;
    bar.move(0, 100);
    bar.show();
    QSystemTrayIcon* tray = nullptr;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--tray") == 0) {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::blue);
            tray = new QSystemTrayIcon(QIcon(pixmap));
            tray->show();
        }
    const int status = app.exec();
    delete tray;
    return status;
}
