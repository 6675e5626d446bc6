// BMP loading through QImageReader with the format forced to BMP, after a check that the file is
// whole and its picture within the size limit.
#include "controls/Bitmap.h"

#include "platform/Files.h"
#include "platform/VError.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>
#include <climits>
#include <cstdlib>

namespace {

VantrelError NotValid() {
    return VantrelError(QStringLiteral("Bitmap image is not valid"));
}

// Largest file the loader reads: the largest picture at 32 bits per pixel, plus headers.
constexpr qint64 MaxBitmapFileSize = MaxBitmapPixels * 4 + 65536;

uint32_t U16(const QByteArray& b, qsizetype at) {
    return uint32_t(uchar(b[at])) | uint32_t(uchar(b[at + 1])) << 8;
}

uint32_t U32(const QByteArray& b, qsizetype at) {
    return U16(b, at) | U16(b, at + 2) << 16;
}

// Walks run-length coded pixels (8 or 4 bits) from the start of the pixel data. False when the
// data ends before the picture does, or a run or a jump leaves the picture.
bool RunsFit(const QByteArray& b, qint64 p, qint64 width, qint64 height, bool fourBit) {
    const qint64 size = b.size();
    qint64 x = 0, y = 0;
    while (y < height) {
        if (p + 2 > size) return false;
        const int count = uchar(b[p]);
        const int code = uchar(b[p + 1]);
        p += 2;
        if (count > 0) { // a run of one value (or two alternating nibbles)
            if (x + count > width) return false;
            x += count;
            continue;
        }
        switch (code) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of picture
            return true;
        case 2: // jump
            if (p + 2 > size) return false;
            x += uchar(b[p]);
            y += uchar(b[p + 1]);
            p += 2;
            if (x > width || y > height) return false;
            break;
        default: { // literal pixels, padded to a whole 16-bit word
            qint64 bytes = fourBit ? (code + 1) / 2 : code;
            bytes += bytes & 1;
            if (x + code > width || p + bytes > size) return false;
            x += code;
            p += bytes;
            break;
        }
        }
    }
    return true;
}

// The checks Qt's reader leaves out: it draws a picture from a file cut short and clips runs
// that leave the picture, where such a file is simply not a valid bitmap. Fields are read the way
// the reader reads them, so a file it decodes correctly passes.
bool LooksWhole(const QByteArray& b) {
    const qint64 size = b.size();
    if (size < 18 || b[0] != 'B' || b[1] != 'M') return false;
    const qint64 pixelsAt = U32(b, 10);
    const qint64 headerSize = U32(b, 14);
    if (headerSize < 12 || 14 + headerSize > size) return false;

    qint64 width, height;
    uint32_t bits, compression = 0;
    if (headerSize == 40 || headerSize == 64 || headerSize == 108 || headerSize == 124) {
        width = int32_t(U32(b, 18));
        height = int32_t(U32(b, 22));
        bits = U16(b, 28);
        compression = U32(b, 30);
    } else { // the old header with 16-bit sizes
        width = int16_t(U16(b, 18));
        height = int16_t(U16(b, 20));
        bits = U16(b, 24);
    }
    if (width <= 0 || height == 0 || height == INT_MIN) return false;
    height = std::llabs(height);
    if (width * height > MaxBitmapPixels) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;

    // The pixels start at the offset the file header gives, and never inside the info header.
    const qint64 start = std::max<qint64>(pixelsAt, 14 + headerSize);
    switch (compression) {
    case 0: // plain rows, each padded to 32 bits (the reader needs the last row's padding too)
    case 3:
        return start + (width * bits + 31) / 32 * 4 * height <= size;
    case 1:
        return bits == 8 && RunsFit(b, start, width, height, false);
    case 2:
        return bits == 4 && RunsFit(b, start, width, height, true);
    default:
        return true; // the reader judges the other kinds
    }
}

} // namespace

QImage DecodeBitmap(const QByteArray& bytes) {
    if (!LooksWhole(bytes)) throw NotValid();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);
    // The reader also refuses a picture beyond its allocation limit (QImageReader's own, 128 MB
    // unless the environment changes it); that, too, is not a valid bitmap here.
    QImage image = reader.read();
    if (image.isNull()) throw NotValid();
    // A bitmap is drawn as its colours are stored; an alpha channel does not make it see-through.
    if (image.hasAlphaChannel()) image = image.convertToFormat(QImage::Format_RGB32);
    return image;
}

QImage LoadBitmap(const QString& path) {
    const QString native = platform::NativePath(path);
    QFile file(native);
    // Only a regular file is opened: a folder cannot be read, and a pipe or device could block
    // or never end.
    if (!QFileInfo(native).isFile() || !file.open(QIODevice::ReadOnly))
        throw VantrelError(QStringLiteral("Cannot open file %1").arg(path));
    // A file far beyond the largest picture the loader accepts is refused before it is read.
    // The buffer is sized by the file (one byte more shows a file that grows meanwhile).
    const qint64 size = file.size();
    if (size > MaxBitmapFileSize) throw NotValid();
    const QByteArray bytes = file.read(size + 1);
    if (bytes.size() > size) throw NotValid();
    return DecodeBitmap(bytes);
}

QPixmap BuiltInPicture(const QString& resource) {
    QImageReader reader(resource, "bmp");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}
