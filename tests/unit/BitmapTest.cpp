// The BMP loader: what decodes, what is "Bitmap image is not valid", what cannot be opened.
#include "controls/Bitmap.h"
#include "BmpSupport.h"
#include "core/VError.h"
#include "platform/Files.h"

#include <QDirIterator>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const VantrelError& e) {
        return e.message();
    }
    return QString();
}

const QString NotValid = QStringLiteral("Bitmap image is not valid");

TEST(DecodeBitmap, ReadsWhatQtWritesAndRunLengthCoding) {
    const QImage solid = DecodeBitmap(vtest::SolidBmp(100, 13, QColor(0x12, 0x34, 0x56)));
    EXPECT_EQ(solid.size(), QSize(100, 13));
    EXPECT_EQ(solid.pixel(99, 12), qRgb(0x12, 0x34, 0x56));

    // Rows stored top-down (a negative height).
    QByteArray topDown = vtest::SolidBmp(5, 3, Qt::blue);
    vtest::Put32(topDown, 22, quint32(-3));
    EXPECT_EQ(DecodeBitmap(topDown).size(), QSize(5, 3));

    // Bytes after the pixels do no harm; a row short of its padding is cut short.
    const QByteArray onePixel = vtest::SolidBmp(1, 1, Qt::green);
    EXPECT_EQ(DecodeBitmap(onePixel + "tail").pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_THROW(DecodeBitmap(onePixel.left(onePixel.size() - 1)), VantrelError);

    // Runs, a literal, a jump and the end marker; and runs that end with the last row.
    const QImage runs = DecodeBitmap(
        vtest::Rle8Bmp(4, 2, vtest::Bytes({2, 9, 0, 2, 1, 0, 0, 0, 0, 4, 1, 2, 3, 4, 0, 1})));
    EXPECT_EQ(runs.size(), QSize(4, 2));
    EXPECT_EQ(qGray(runs.pixel(0, 1)), 9);
    EXPECT_EQ(qGray(runs.pixel(3, 0)), 4);
    EXPECT_EQ(DecodeBitmap(vtest::Rle8Bmp(4, 2, vtest::Bytes({4, 7, 0, 0, 4, 8, 0, 0}))).size(),
              QSize(4, 2));
}

TEST(DecodeBitmap, BrokenFilesAreNotValid) {
    for (const auto& broken : vtest::BrokenBitmaps())
        EXPECT_EQ(ErrorOf([&] { DecodeBitmap(broken.second); }), NotValid) << broken.first;
}

TEST(DecodeBitmap, PictureBeyondTheReadersAllocationLimitIsNotValid) {
    const int saved = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1); // megabytes
    const QString error = ErrorOf([] { DecodeBitmap(vtest::SolidBmp(1000, 1000, Qt::red)); });
    QImageReader::setAllocationLimit(saved);
    EXPECT_EQ(error, NotValid);
}

// Pictures made at test time by ImageMagick, as a user's tool makes them.
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

QImage Rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

// Empty when both pictures have the same size and colours; else the first difference.
std::string Difference(const QImage& a, const QImage& b) {
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

// The public corpus keeps its results: these files are refused, every other one decodes, and
// the same way each time (pixels a run-length file leaves out are colour 0, never left over).
TEST(DecodeBitmap, PublicCorpusKeepsItsResults) {
    const QString suite = vtest::BmpSuite();
    if (suite.isEmpty()) {
        if (qEnvironmentVariableIsSet("CI")) FAIL() << "BMP corpus missing: " VANTREL_BMPSUITE_DIR;
        GTEST_SKIP() << "BMP corpus not found at " VANTREL_BMPSUITE_DIR;
    }
    const QStringList refused = {
        "b/badbitcount", "b/badheadersize", "b/badpalettesize",  "b/badplanes",   "b/badrle",
        "b/badrle4",     "b/badrle4bis",    "b/badrle4ter",      "b/badrlebis",   "b/badrleter",
        "b/badwidth",    "b/reallybig",     "b/shortfile",       "q/pal1huffmsb", "q/pal2",
        "q/pal2color",   "q/pal8os2v2-16",  "q/pal8oversizepal", "q/rgb24jpeg",   "q/rgb24png",
        "q/rgb24rle24",  "q/rgb32h52",      "q/rgba32abf",       "q/rgba32h56",   "q/rgba64",
        "x/ba-bm"};
    int files = 0;
    QDirIterator it(suite, {QStringLiteral("*.bmp")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = QDir(suite).relativeFilePath(path).chopped(4);
        ++files;
        const QByteArray bytes = vtest::ReadFile(path);
        if (refused.contains(name)) {
            EXPECT_EQ(ErrorOf([&] { DecodeBitmap(bytes); }), NotValid) << name.toStdString();
            continue;
        }
        QImage first, second;
        EXPECT_NO_THROW(first = DecodeBitmap(bytes)) << name.toStdString();
        // Something else in the memory a second picture may get.
        QImage(first.size(), QImage::Format_Indexed8).fill(0xAB);
        EXPECT_NO_THROW(second = DecodeBitmap(bytes)) << name.toStdString();
        EXPECT_EQ(Difference(Rgb(first), Rgb(second)), "") << name.toStdString();
    }
    EXPECT_EQ(files, 91);
}

class LoadBitmapTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Root.isValid());
        platform::SetDrives({{u'C', QStringLiteral("/")}, {u'X', Root.path()}});
    }
    void TearDown() override { platform::SetDrives({}); }
    QString Native(const char* relative) { return Root.path() + u'/' + QLatin1String(relative); }

    QTemporaryDir Root;
};

TEST_F(LoadBitmapTest, FindsTheFileWithoutRegardToCase) {
    vtest::WriteFile(Native("Skins/Blue/back.bmp"), vtest::SolidBmp(177, 21, Qt::gray));
    EXPECT_EQ(LoadBitmap(QStringLiteral("X:\\SKINS\\blue\\BACK.BMP")).size(), QSize(177, 21));
}

TEST_F(LoadBitmapTest, WhatCannotBeOpenedNamesTheFullPath) {
    QDir().mkpath(Native("skins/blue/back.bmp"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(Native("skins/blue/bar.bmp")).constData(), 0600), 0);
    for (const char* path :
         {"x:\\skins\\blue\\back.bmp", "x:\\skins\\blue\\bar.bmp", "x:\\skins\\blue\\missing.bmp"})
        EXPECT_EQ(ErrorOf([&] { LoadBitmap(QLatin1String(path)); }),
                  QStringLiteral("Cannot open file ") + QLatin1String(path));
}

TEST_F(LoadBitmapTest, UnreadableFileCannotBeOpened) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    vtest::WriteFile(Native("skins/locked.bmp"), vtest::SolidBmp(4, 4, Qt::red));
    QFile::setPermissions(Native("skins/locked.bmp"), QFileDevice::WriteOwner);
    EXPECT_EQ(ErrorOf([] { LoadBitmap(QStringLiteral("x:\\skins\\locked.bmp")); }),
              QStringLiteral("Cannot open file x:\\skins\\locked.bmp"));
}

} // namespace
