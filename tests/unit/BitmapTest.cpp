// The BMP loader: what decodes, what is "Bitmap image is not valid", what cannot be opened.
#include "controls/Bitmap.h"
#include "BmpSupport.h"
#include "FakeServices.h"
#include "core/VError.h"
#include "platform/Files.h"

#include <QDirIterator>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
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

using vtest::Difference;
using vtest::Rgb;

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
        Drives.emplace(vtest::DriveList{{u'C', QStringLiteral("/")}, {u'X', Root.path()}});
    }
    void TearDown() override { Drives.reset(); }
    QString Native(const char* relative) { return Root.path() + u'/' + QLatin1String(relative); }

    QTemporaryDir Root;
    std::optional<vtest::FixedDrives> Drives;
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
