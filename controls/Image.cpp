// Image control on QWidget.
#include "controls/Image.h"

#include "controls/Accessible.h"
#include "controls/Bitmap.h"

#include <QBitmap>
#include <QPainter>

TImage::TImage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NoSystemBackground);
    UseAccessibleControls();
}

void TImage::SetPicture(const QPixmap& picture) {
    Pic = picture;
    Prepare();
    if (Auto) resize(Pic.size());
    update();
}

void TImage::LoadFromFile(const QString& path) {
    SetPicture(QPixmap::fromImage(LoadBitmap(path)));
}

void TImage::SetAutoSize(bool on) {
    Auto = on;
    if (Auto && !Pic.isNull()) resize(Pic.size());
}

void TImage::SetTransparent(bool on) {
    if (SeeThrough == on) return;
    SeeThrough = on;
    Prepare();
    update();
}

void TImage::Prepare() {
    Drawn = Pic;
    if (SeeThrough && !Pic.isNull()) {
        const QImage image = Pic.toImage();
        const QColor key = image.pixelColor(0, image.height() - 1);
        Drawn.setMask(QBitmap::fromImage(image.convertToFormat(QImage::Format_RGB32)
                                             .createMaskFromColor(key.rgb(), Qt::MaskInColor)));
    }
}

void TImage::paintEvent(QPaintEvent*) {
    if (Drawn.isNull()) return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, Drawn);
}
