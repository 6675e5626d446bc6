// The BMP loader against pictures made at test time by ImageMagick, as a user's tool makes them.
#include "BmpSupport.h"
#include "controls/Bitmap.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using vtest::Difference;
using vtest::Rgb;

class ToolMadeBitmaps : public testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("convert")).isEmpty()) {
            if (qEnvironmentVariableIsSet("CI")) FAIL() << "ImageMagick's convert is missing";
            GTEST_SKIP() << "ImageMagick's convert is not installed";
        }
        ASSERT_TRUE(Dir.isValid());
    }
    // Runs convert with these arguments (split at blanks outside double quotes) in the temporary
    // folder; the bytes of the file made.
    QByteArray Convert(const QString& arguments) {
        const QStringList list = QProcess::splitCommand(arguments);
        QProcess convert;
        convert.setWorkingDirectory(Dir.path());
        convert.start(QStringLiteral("convert"), list);
        EXPECT_TRUE(convert.waitForFinished(60000));
        EXPECT_EQ(convert.exitCode(), 0) << convert.readAllStandardError().toStdString();
        return vtest::ReadFile(Dir.filePath(list.last().section(u':', -1)));
    }
    // A width x 21 skin of three colours; the last column differs, so a clipped run shows.
    QByteArray Skin(int width, const QString& output) {
        return Convert(
            QStringLiteral("-size %1x21 xc:#808000 -fill red -draw \"rectangle 0,0 %2,10\" "
                           "-fill blue -draw \"line %3,0 %3,20\" -type palette %4")
                .arg(width)
                .arg(width / 2)
                .arg(width - 1)
                .arg(output));
    }
    // ImageMagick's own reading of a file, through PNG.
    QImage Reference(const QString& file) {
        Convert(file + QStringLiteral(" png:reference.png"));
        return QImage(Dir.filePath(QStringLiteral("reference.png")))
            .convertToFormat(QImage::Format_RGB32);
    }
    QTemporaryDir Dir;
};

uint32_t Field(const QByteArray& b, int at, int size) {
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = v << 8 | uchar(b[at + i]);
    return v;
}

// The 4-bit run-length form of a picture of at most 16 colours, coded the way a tool that codes
// whole stored rows does: each row runs on to its 32-bit padding (177 pixels as 184).
QByteArray Rle4Bmp(const QImage& picture) {
    const QImage indexed = picture.convertToFormat(QImage::Format_Indexed8);
    const QList<QRgb> colors = indexed.colorTable();
    const int width = indexed.width(), height = indexed.height(), padded = (width + 7) / 8 * 8;
    QByteArray runs;
    for (int y = height - 1; y >= 0; --y) {
        const uchar* row = indexed.constScanLine(y);
        for (int x = 0; x < padded;) {
            const int value = x < width ? row[x] : 0;
            int count = 1;
            while (x + count < padded && count < 254 &&
                   (x + count < width ? row[x + count] : 0) == value)
                ++count;
            runs += char(count);
            runs += char(value << 4 | value);
            x += count;
        }
        runs += QByteArray("\0\0", 2);
    }
    runs += QByteArray("\0\1", 2);
    const int pixelsAt = 14 + 40 + 16 * 4;
    QByteArray b(pixelsAt, '\0');
    b[0] = 'B';
    b[1] = 'M';
    vtest::Put32(b, 2, quint32(pixelsAt + runs.size()));
    vtest::Put32(b, 10, pixelsAt);
    vtest::Put32(b, 14, 40);
    vtest::Put32(b, 18, quint32(width));
    vtest::Put32(b, 22, quint32(height));
    vtest::Put16(b, 26, 1);
    vtest::Put16(b, 28, 4);
    vtest::Put32(b, 30, 2);
    vtest::Put32(b, 34, quint32(runs.size()));
    for (int i = 0; i < colors.size() && i < 16; ++i)
        vtest::Put32(b, 54 + i * 4, colors[i] & 0xFFFFFF);
    return b + runs;
}

// Bottom-up rows of an uncompressed file turned top-down (a negative height).
QByteArray TopDown(QByteArray b) {
    const int pixelsAt = int(Field(b, 10, 4)), width = int(Field(b, 18, 4));
    const int height = int(Field(b, 22, 4)), bits = int(Field(b, 28, 2));
    const int stride = (width * bits + 31) / 32 * 4;
    QByteArray flipped = b.left(pixelsAt);
    for (int y = height - 1; y >= 0; --y)
        flipped += b.mid(pixelsAt + y * stride, stride);
    vtest::Put32(flipped, 22, quint32(-height));
    return flipped + b.mid(pixelsAt + height * stride);
}

TEST_F(ToolMadeBitmaps, RunLengthSkinsOfAnyWidthDecodeAsTheToolAndQtReadThem) {
    for (int width : {177, 81, 13, 80}) {
        SCOPED_TRACE(width);
        // 8 bits: every row coded to its padded width (180 runs for 177 pixels).
        const QByteArray rle8 = Skin(width, QStringLiteral("-compress RLE BMP3:rle8.bmp"));
        ASSERT_EQ(Field(rle8, 30, 4), 1u) << "not run-length coded";
        ASSERT_EQ(Field(rle8, 28, 2), 8u);
        const QImage reference = Reference(QStringLiteral("rle8.bmp"));
        ASSERT_EQ(reference.size(), QSize(width, 21));
        const QImage decoded = Rgb(DecodeBitmap(rle8));
        EXPECT_EQ(Difference(decoded, reference), "");
        // Qt's reader draws these correctly too.
        EXPECT_EQ(Difference(decoded, Rgb(QImage::fromData(rle8, "BMP"))), "");
        EXPECT_EQ(decoded.pixel(width - 1, 0), qRgb(0, 0, 255));
        EXPECT_EQ(decoded.pixel(0, 20), qRgb(0x80, 0x80, 0));

        // 4 bits, rows coded to 32-bit padding: a run into the padding is clipped. (Qt's reader
        // lets such a run spill into the next row; the tool's reading is the reference.)
        EXPECT_EQ(Difference(Rgb(DecodeBitmap(Rle4Bmp(reference))), reference), "");
    }
}

TEST_F(ToolMadeBitmaps, TrueColourAndTopDownFilesDecodeAsTheToolReadsThem) {
    Skin(177, QStringLiteral("BMP3:skin.bmp"));
    const QImage reference = Reference(QStringLiteral("skin.bmp"));
    const QByteArray argb =
        Convert(QStringLiteral("skin.bmp -type TrueColorAlpha -define bmp:format=bmp4 BMP:32.bmp"));
    ASSERT_EQ(Field(argb, 28, 2), 32u);
    const QImage decoded = DecodeBitmap(argb);
    EXPECT_FALSE(decoded.hasAlphaChannel());
    EXPECT_EQ(Difference(Rgb(decoded), reference), "");

    const QByteArray rgb = Convert(QStringLiteral("skin.bmp -type TrueColor BMP3:24.bmp"));
    ASSERT_EQ(Field(rgb, 28, 2), 24u);
    EXPECT_EQ(Difference(Rgb(DecodeBitmap(rgb)), reference), "");
    EXPECT_EQ(Difference(Rgb(DecodeBitmap(TopDown(rgb))), reference), "");
    vtest::WriteFile(Dir.filePath(QStringLiteral("topdown.bmp")), TopDown(rgb));
    EXPECT_EQ(Difference(Reference(QStringLiteral("topdown.bmp")), reference), "");
}

} // namespace
