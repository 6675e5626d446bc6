// Display names and small icons of drives and folders on Qt's file icon provider.
#include "platform/ShellInfo.h"

#include "platform/Files.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>

namespace platform {
namespace {

// Draws one icon normally and another while the node is selected.
class NodeIconEngine : public QIconEngine {
public:
    NodeIconEngine(const QIcon& normal, const QIcon& selected)
        : Normal(normal), Selected(selected) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        Pick(mode).paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Pick(mode).pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return Pick(mode).pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Pick(mode).actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return Pick(mode).availableSizes(mode, state);
    }
    bool isNull() override { return Normal.isNull() && Selected.isNull(); }
    QString key() const override { return QStringLiteral("VantrelNodeIcon"); }
    QIconEngine* clone() const override { return new NodeIconEngine(Normal, Selected); }

private:
    const QIcon& Pick(QIcon::Mode mode) const {
        return mode == QIcon::Selected ? Selected : Normal;
    }

    QIcon Normal;
    QIcon Selected;
};

QIcon Themed(const char* name, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(QLatin1String(name), QApplication::style()->standardIcon(fallback));
}

// The list holds small icons: the pictures drawn at 16 pixels, and at 32 for a display of twice
// the density. Qt's own icons also carry 128-pixel pictures (64 kB each) nothing here draws.
QIcon Small(const QIcon& icon) {
    if (icon.isNull()) return icon;
    QIcon small;
    for (const int side : {16, 32})
        small.addPixmap(icon.pixmap(QSize(side, side), 1.0));
    return small;
}

void Fill(QList<QIcon>& icons) {
    QFileIconProvider provider;
    icons.resize(ICON_COUNT);
    icons[ICON_FOLDER] = Small(provider.icon(QAbstractFileIconProvider::Folder));
    icons[ICON_FOLDER_OPEN] = Small(Themed("folder-open", QStyle::SP_DirOpenIcon));
    icons[ICON_DRIVE_FIXED] = Small(provider.icon(QAbstractFileIconProvider::Drive));
    icons[ICON_DRIVE_REMOVABLE] = Small(Themed("drive-removable-media", QStyle::SP_DriveFDIcon));
    icons[ICON_DRIVE_CDROM] = Small(Themed("media-optical", QStyle::SP_DriveCDIcon));
    icons[ICON_DRIVE_REMOTE] = Small(provider.icon(QAbstractFileIconProvider::Network));
    icons[ICON_DRIVE_UNKNOWN] = icons[ICON_DRIVE_FIXED];
}

bool IsDriveRoot(const QString& path) {
    return path.size() == 3 && path[1] == u':' && (path[2] == u'\\' || path[2] == u'/') &&
           path[0].unicode() < 128 && path[0].isLetter();
}

} // namespace

QIcon SmallIconList::Icon(int index) const {
    return index >= 0 && index < Icons.size() ? Icons[index] : QIcon();
}

QIcon SmallIconList::NodeIcon(int image, int selectedImage) {
    const int key = image * 256 + selectedImage;
    auto it = Pairs.constFind(key);
    if (it != Pairs.constEnd()) return *it;
    const QIcon normal = Icon(image);
    const QIcon selected = Icon(selectedImage);
    QIcon icon = image == selectedImage || selected.isNull()
                     ? normal
                     : QIcon(new NodeIconEngine(normal, selected));
    Pairs.insert(key, icon);
    return icon;
}

SmallIconList* SystemSmallIcons() {
    static SmallIconList list;
    if (!list.Filled && qobject_cast<QApplication*>(QCoreApplication::instance())) {
        Fill(list.Icons);
        list.Filled = true;
    }
    return &list;
}

ShellFileInfo ShellInfoOf(const QString& path, bool open) {
    ShellFileInfo info;
    if (IsDriveRoot(path)) {
        const QChar letter = path[0].toUpper();
        const QString root = DriveRoot(letter);
        QString label;
        if (root == QLatin1String("/"))
            label = QStringLiteral("File System");
        else if (!root.isEmpty())
            label = root.section(u'/', -2, -2);
        info.DisplayName = QStringLiteral("%1 (%2:)").arg(label, QString(letter)).trimmed();
        switch (DriveTypeOf(path)) {
        case DRIVE_FIXED:
        case DRIVE_RAMDISK:
            info.IconIndex = ICON_DRIVE_FIXED;
            break;
        case DRIVE_REMOVABLE:
            info.IconIndex = ICON_DRIVE_REMOVABLE;
            break;
        case DRIVE_CDROM:
            info.IconIndex = ICON_DRIVE_CDROM;
            break;
        case DRIVE_REMOTE:
            info.IconIndex = ICON_DRIVE_REMOTE;
            break;
        default:
            info.IconIndex = ICON_DRIVE_UNKNOWN;
        }
        return info;
    }
    qsizetype end = path.size();
    while (end > 0 && (path[end - 1] == u'\\' || path[end - 1] == u'/'))
        --end;
    qsizetype begin = end;
    while (begin > 0 && path[begin - 1] != u'\\' && path[begin - 1] != u'/')
        --begin;
    info.DisplayName = path.mid(begin, end - begin);
    info.IconIndex = open ? ICON_FOLDER_OPEN : ICON_FOLDER;
    return info;
}

} // namespace platform
