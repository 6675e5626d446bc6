// BMP loading through QImageReader with the format forced to BMP, after a check that the file is
// whole and its picture within the size limit.
#include "controls/Bitmap.h"

#include "core/VError.h"
#include "platform/Files.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>
#include <climits>
#include <cstdlib>
#include <optional>

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

// Where run-length coded pixels lie in a file.
struct Runs {
    qint64 Start = 0;     // the first byte of the coded pixels
    qint64 Width = 0;     // of the picture
    qint64 Height = 0;    // of the picture, positive
    bool TopDown = false; // the first coded row is the top one
    bool FourBit = false;
};

// Walks run-length coded pixels (8 or 4 bits) and, given a picture, draws them into it. A run
// may reach into the padding of its row, as tools that code whole stored rows (177 pixels as 180)
// write it; what lies past the picture is clipped, as Windows draws it. False when the data ends
// before the picture does, or a run or a jump leaves the row's padding or the picture. Pixels
// the data leaves out (a jump, an early end of a row or of the picture) keep colour 0.
bool DrawRuns(const QByteArray& b, const Runs& runs, QImage* image) {
    const qint64 size = b.size(), width = runs.Width, height = runs.Height;
    // The stored row, padded to 32 bits, in pixels.
    const qint64 padded = runs.FourBit ? (width + 7) / 8 * 8 : (width + 3) / 4 * 4;
    if (image) image->fill(0);
    const auto put = [&](qint64 x, qint64 y, int index) {
        if (!image || x >= width) return;
        image->scanLine(int(runs.TopDown ? y : height - 1 - y))[x] = uchar(index);
    };
    qint64 p = runs.Start, x = 0, y = 0;
    while (y < height) {
        if (p + 2 > size) return false;
        const int count = uchar(b[p]);
        const int code = uchar(b[p + 1]);
        p += 2;
        if (count > 0) { // a run of one value (or two alternating nibbles)
            if (x + count > padded) return false;
            for (int i = 0; i < count; ++i)
                put(x + i, y, runs.FourBit ? (i & 1 ? code & 15 : code >> 4) : code);
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
            qint64 bytes = runs.FourBit ? (code + 1) / 2 : code;
            bytes += bytes & 1;
            if (x + code > padded || p + bytes > size) return false;
            for (int i = 0; i < code; ++i) {
                const int value = uchar(b[p + (runs.FourBit ? i / 2 : i)]);
                put(x + i, y, runs.FourBit ? (i & 1 ? value & 15 : value >> 4) : value);
            }
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
// the reader reads them, so a file it decodes correctly passes. For run-length coded pixels it
// also tells where they lie.
bool LooksWhole(const QByteArray& b, std::optional<Runs>& coded) {
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
    const bool topDown = height < 0;
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
    case 2:
        coded = Runs{start, width, height, topDown, compression == 2};
        return bits == (compression == 2 ? 4u : 8u) && DrawRuns(b, *coded, nullptr);
    default:
        return true; // the reader judges the other kinds
    }
}

} // namespace

QImage DecodeBitmap(const QByteArray& bytes) {
    std::optional<Runs> coded;
    if (!LooksWhole(bytes, coded)) throw NotValid();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);
    // The reader draws into a picture of the right size and kind that it is given. Given one of
    // colour 0, what it leaves out (rows past the end of a file whose palette is shorter than
    // the reader takes it to be) stays colour 0 rather than whatever the memory held.
    QImage image;
    const QSize size = reader.size();
    const QImage::Format format = reader.imageFormat();
    const qint64 pictureBytes = qint64(size.width()) * std::abs(size.height()) *
                                QImage::toPixelFormat(format).bitsPerPixel() / 8;
    if (size.width() > 0 && pictureBytes <= qint64(QImageReader::allocationLimit()) * 1024 * 1024) {
        image = QImage(size.width(), std::abs(size.height()), format);
        image.fill(0);
    }
    // The reader also refuses a picture beyond its allocation limit (QImageReader's own, 128 MB
    // unless the environment changes it); that, too, is not a valid bitmap here.
    if (!reader.read(&image) || image.isNull()) throw NotValid();
    // Run-length coded pixels are drawn here: the reader leaves what the runs skip uninitialised,
    // and a run into the padding of a 4-bit row spills into the next row.
    if (coded) {
        if (image.format() != QImage::Format_Indexed8 ||
            image.size() != QSize(int(coded->Width), int(coded->Height)))
            throw NotValid();
        DrawRuns(bytes, *coded, &image);
    }
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
