// Test bitmaps: solid pictures written by Qt's BMP writer, run-length coded ones made by hand,
// a corpus of broken files, and the public BMP test corpus beside the clone.
#pragma once

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QString>
#include <QtEndian>
#include <string>
#include <utility>
#include <vector>

namespace vtest {

// A width x height picture of one colour as BMP bytes (Qt writes 24 bits with a 40-byte header).
inline QByteArray SolidBmp(int width, int height, QColor color) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

inline void Put16(QByteArray& b, int at, quint16 v) {
    qToLittleEndian<quint16>(v, b.data() + at);
}
inline void Put32(QByteArray& b, int at, quint32 v) {
    qToLittleEndian<quint32>(v, b.data() + at);
}

// An 8-bit run-length coded picture (grey palette) with the run stream given.
inline QByteArray Rle8Bmp(int width, int height, const QByteArray& runs) {
    const int pixelsAt = 14 + 40 + 256 * 4;
    QByteArray b(pixelsAt, '\0');
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, quint32(pixelsAt + runs.size()));
    Put32(b, 10, pixelsAt);
    Put32(b, 14, 40);
    Put32(b, 18, quint32(width));
    Put32(b, 22, quint32(height));
    Put16(b, 26, 1);
    Put16(b, 28, 8);
    Put32(b, 30, 1); // run-length coded, 8 bits
    Put32(b, 34, quint32(runs.size()));
    for (int i = 0; i < 256; ++i)
        for (int k = 0; k < 3; ++k)
            b[54 + i * 4 + k] = char(i);
    return b + runs;
}

inline QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

// Files that are not valid bitmaps, each with what is wrong with it.
inline std::vector<std::pair<const char*, QByteArray>> BrokenBitmaps() {
    const QByteArray good = SolidBmp(100, 13, Qt::red); // 54 bytes of headers, rows of 300
    auto with = [&](auto change) {
        QByteArray b = good;
        change(b);
        return b;
    };
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImage(10, 10, QImage::Format_RGB32).save(&buffer, "PNG");
    }
    return {
        {"empty file", QByteArray()},
        {"bad magic", with([](QByteArray& b) { b[0] = 'X'; })},
        {"truncated file header", good.left(10)},
        {"truncated info header", good.left(30)},
        {"headers only", good.left(54)},
        {"truncated pixels", good.left(good.size() - 50)},
        {"zero width", with([](QByteArray& b) { Put32(b, 18, 0); })},
        {"zero height", with([](QByteArray& b) { Put32(b, 22, 0); })},
        {"negative width", with([](QByteArray& b) { Put32(b, 18, quint32(-100)); })},
        {"huge size", with([](QByteArray& b) {
             Put32(b, 18, 100000);
             Put32(b, 22, 100000);
         })},
        {"most negative height", with([](QByteArray& b) { Put32(b, 22, 0x80000000u); })},
        {"over 64 megapixels", with([](QByteArray& b) {
             Put32(b, 18, 9000);
             Put32(b, 22, 9000);
         })},
        {"bad bit depth", with([](QByteArray& b) { Put16(b, 28, 7); })},
        {"bad plane count", with([](QByteArray& b) { Put16(b, 26, 3); })},
        {"unknown compression", with([](QByteArray& b) { Put32(b, 30, 9); })},
        {"info header past the end", with([](QByteArray& b) { Put32(b, 14, 0x7FFFFFF0); })},
        {"run past the end of a row", Rle8Bmp(4, 2, Bytes({5, 1, 0, 0, 4, 2, 0, 1}))},
        {"literal run past the end of a row", Rle8Bmp(4, 2, Bytes({0, 6, 1, 2, 3, 4, 5, 6, 0, 1}))},
        {"jump out of the picture", Rle8Bmp(4, 2, Bytes({0, 2, 1, 5, 0, 1}))},
        {"runs cut short", Rle8Bmp(4, 2, Bytes({4, 1, 0, 0}))},
        {"literal cut short", Rle8Bmp(4, 2, Bytes({0, 4, 1, 2}))},
        {"run-length coding at 24 bits", with([](QByteArray& b) { Put32(b, 30, 1); })},
        {"a PNG file", png},
    };
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

// The bytes of a file, or nothing when it cannot be read.
inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The public BMP test corpus (g/ good, q/ questionable, b/ bad), or an empty text when it is not
// beside the clone.
inline QString BmpSuite() {
    const QString dir = QStringLiteral(VANTREL_BMPSUITE_DIR);
    return QFileInfo(dir + QStringLiteral("/g")).isDir() ? dir : QString();
}

inline QImage Rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

// Empty when both pictures have the same size and colours; else the first difference.
inline std::string Difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return QStringLiteral("%1x%2 against %3x%4")
            .arg(a.width())
            .arg(a.height())
            .arg(b.width())
            .arg(b.height())
            .toStdString();
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF))
                return QStringLiteral("at %1,%2: %3 against %4")
                    .arg(x)
                    .arg(y)
                    .arg(a.pixel(x, y) & 0xFFFFFF, 6, 16, QChar(u'0'))
                    .arg(b.pixel(x, y) & 0xFFFFFF, 6, 16, QChar(u'0'))
                    .toStdString();
    return {};
}

} // namespace vtest
