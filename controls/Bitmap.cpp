// BMP loading through QImageReader with the format forced to BMP and a size limit.
#include "controls/Bitmap.h"

#include "platform/Files.h"
#include "platform/VError.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace {

VantrelError NotValid() {
    return VantrelError(QStringLiteral("Bitmap image is not valid"));
}

} // namespace

QImage DecodeBitmap(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() ||
        qint64(size.width()) * qint64(size.height()) > MaxBitmapPixels)
        throw NotValid();
    QImage image = reader.read();
    if (image.isNull()) throw NotValid();
    return image;
}

QImage LoadBitmap(const QString& path) {
    QFile file(platform::NativePath(path));
    if (!file.open(QIODevice::ReadOnly))
        throw VantrelError(QStringLiteral("Cannot open file %1").arg(path));
    // Skins are small; a file far beyond the largest picture the loader accepts is refused
    // before it is read.
    if (file.size() > MaxBitmapPixels * 4 + 65536) throw NotValid();
    return DecodeBitmap(file.readAll());
}
