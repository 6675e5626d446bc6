// Icon engine over picture files of several sizes, read on demand.
#include "controls/ResourceIcon.h"

#include <QApplication>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

namespace {

class ResourceIconEngine final : public QIconEngine {
public:
    ResourceIconEngine(const QString& pattern, QList<int> sizes)
        : Pattern(pattern), Sizes(std::move(sizes)) {
        std::sort(Sizes.begin(), Sizes.end());
    }

    QIconEngine* clone() const override { return new ResourceIconEngine(Pattern, Sizes); }
    QString key() const override { return QStringLiteral("ResourceIconEngine"); }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const int side : Sizes)
            sizes.append(QSize(side, side));
        return sizes;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(Nearest(size), std::min(size.width(), size.height()));
        return QSize(side, side);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        const QSize wanted = actualSize(size, mode, QIcon::Off);
        if (wanted.isEmpty()) return QPixmap();
        if (Last.size() != wanted || LastMode != mode) {
            // Read as PNG straight away: asking the image plugins would load every one of them.
            QImageReader reader(Pattern.arg(Nearest(size)), "png");
            reader.setAutoDetectImageFormat(false);
            QPixmap picture = QPixmap::fromImage(reader.read());
            if (picture.size() != wanted)
                picture = picture.scaled(wanted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            if (mode != QIcon::Normal && qApp) {
                QStyleOption option;
                option.palette = QApplication::palette();
                picture = QApplication::style()->generatedIconPixmap(mode, picture, &option);
            }
            Last = picture;
            LastMode = mode;
        }
        return Last;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const QPixmap picture = pixmap(rect.size(), mode, state);
        const QSize size = picture.size();
        painter->drawPixmap(rect.x() + (rect.width() - size.width()) / 2,
                            rect.y() + (rect.height() - size.height()) / 2, picture);
    }

private:
    // The smallest picture at least as large as the size, or the largest there is.
    int Nearest(const QSize& size) const {
        const int side = std::min(size.width(), size.height());
        for (const int s : Sizes)
            if (s >= side) return s;
        return Sizes.isEmpty() ? 0 : Sizes.last();
    }

    QString Pattern;
    QList<int> Sizes;
    QPixmap Last;
    QIcon::Mode LastMode = QIcon::Normal;
};

} // namespace

QIcon ResourceIcon(const QString& pattern, const QList<int>& sizes) {
    return QIcon(new ResourceIconEngine(pattern, sizes));
}
