// The settings file's text format: parsing, rendering byte for byte, every coding, damage.
#include "core/RegFile.h"
#include "RegSample.h"

#include <QList>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

using vtest::EveryType;
using vtest::FullKey;

QByteArray Bytes(std::initializer_list<int> list) {
    QByteArray out;
    for (int b : list)
        out += char(b);
    return out;
}

TEST(RegFile, ParsesEveryTypeAndRendersTheSameBytes) {
    const QByteArray text(EveryType);
    const RegParseResult parsed = ParseRegFile(text);
    ASSERT_TRUE(parsed.Document) << parsed.ErrorLine << ": " << parsed.Error.toStdString();
    const RegDocument& doc = *parsed.Document;
    EXPECT_EQ(RenderRegFile(doc), text);

    const struct {
        const char* name;
        uint32_t type;
        QByteArray data;
    } values[] = {
        {"Dir", RegSz, QByteArray("c:\\skins\\", 10)},
        {"Quote", RegSz, QByteArray("say \"hi\"", 9)},
        {"", RegSz, QByteArray("default", 8)},
        {"Path", RegExpandSz, QByteArray("%HOME%", 7)},
        {"TimerDelay", RegDword, Bytes({0xe8, 0x03, 0, 0})},
        {"Blob", RegBinary, Bytes({0, 0xff, 0x10})},
        {"Multi", 7, Bytes({'a', 0, 'b', 0, 0, 0})},
        {"Q", 11, Bytes({1, 0, 0, 0, 0, 0, 0, 0})},
        {"Empty", RegSz, QByteArray(1, '\0')},
        {"Lone", RegSz, QByteArray("a\\b", 4)},
    };
    for (const auto& v : values) {
        const RegValue* value = FindRegValue(doc, FullKey, QString::fromLatin1(v.name));
        ASSERT_NE(value, nullptr) << v.name;
        EXPECT_EQ(value->Type, v.type) << v.name;
        EXPECT_EQ(value->Data, v.data) << v.name;
    }
    EXPECT_EQ(FindRegValue(doc, FullKey, QStringLiteral("Gone")), nullptr);
    EXPECT_EQ(FindRegValue(doc, FullKey, QStringLiteral("Top")), nullptr); // another root's
}

TEST(RegFile, KeepsWindowsLineEndsAndAMissingLastLineEnd) {
    for (const QByteArray& text :
         {QByteArray("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"1\"\r\n\r\n"),
          QByteArray("REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"1\"")}) {
        const RegParseResult parsed = ParseRegFile(text);
        ASSERT_TRUE(parsed.Document);
        EXPECT_EQ(RenderRegFile(*parsed.Document), text);
        RegDocument doc = *parsed.Document;
        SetRegValue(doc, QStringLiteral("HKEY_CURRENT_USER\\A"), QStringLiteral("y"), RegSz,
                    QByteArray("2", 2));
        const QByteArray eol = text.contains('\r') ? "\r\n" : "\n";
        EXPECT_TRUE(RenderRegFile(doc).contains("\"x\"=\"1\"" + eol + "\"y\"=\"2\"" + eol));
    }
}

TEST(RegFile, EveryTypeWrittenReadsBackTheSame) {
    QByteArray longBinary;
    for (int i = 0; i < 200; ++i)
        longBinary += char(i);
    const struct {
        uint32_t type;
        QByteArray data;
    } values[] = {
        {RegSz, QByteArray("plain", 6)},
        {RegSz, QByteArray("back\\slash \"quoted\" \\\"", 23)},
        {RegSz, QByteArray("two\r\nlines", 11)}, // no line breaks in quotes: written as hex(1)
        {RegSz, QByteArray("no closing nul")},
        {RegSz, QByteArray("\xC3\xA4\xE2\x82\xAC", 6)},
        {RegExpandSz, QByteArray("%PATH%;x", 9)},
        {RegDword, Bytes({0x78, 0x56, 0x34, 0x12})},
        {RegDword, Bytes({1, 2})}, // not four bytes: written as hex(4)
        {RegBinary, QByteArray()},
        {RegBinary, longBinary},
        {7, QByteArray("a\0b\0\0", 5)},
        {0x12345, Bytes({9})},
    };
    RegDocument doc;
    int n = 0;
    for (const auto& v : values)
        SetRegValue(doc, FullKey, QStringLiteral("v%1").arg(n++), v.type, v.data);
    const QByteArray text = RenderRegFile(doc);
    for (const QByteArray& line : text.split('\n'))
        EXPECT_LE(line.size(), 80) << line.constData();
    const RegParseResult parsed = ParseRegFile(text);
    ASSERT_TRUE(parsed.Document) << parsed.Error.toStdString() << "\n" << text.constData();
    EXPECT_EQ(RenderRegFile(*parsed.Document), text);
    n = 0;
    for (const auto& v : values) {
        const RegValue* value =
            FindRegValue(*parsed.Document, FullKey, QStringLiteral("V%1").arg(n++));
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->Type, v.type) << n;
        EXPECT_EQ(value->Data, v.data) << n;
    }
}

TEST(RegFile, ADamagedLineIsNamedAndTheRestIsRead) {
    const struct {
        const char* text;
        int line;
    } cases[] = {
        {"REGEDIT5\n", 1},
        {"Windows Registry Editor Version 4.00\n", 1},
        {"\x00\x01garbage", 1},
        {"REGEDIT4\n\"Top\"=\"1\"\n", 2},                      // a value outside any key
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A\n\"v\"=\"1\"\n", 2}, // no closing bracket
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\nTop=1\n", 3},      // no quotes
        {"REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"Top\"=5\n", 3},
        {"REGEDIT4\n[A]\n\"Dir\"=\"c:\\skins\\\"\n", 3}, // the last quote is escaped
        {"REGEDIT4\n[A]\n\"Top\"=\"55\" ; moved by me\n", 3},
        {"REGEDIT4\n[A]\n\"x\"=dword:123456789\n", 3},
        {"REGEDIT4\n[A]\n\"x\"=dword:\n", 3},
        {"REGEDIT4\n[A]\n\"x\"=hex:0g\n", 3},
        {"REGEDIT4\n[A]\n\"x\"=hex:123\n", 3},
        {"REGEDIT4\n[A]\n\"x\"=hex(zz):00\n", 3},
        {"REGEDIT4\n[A]\n\"x\"=hex:00,\\\n[C]\n", 3}, // continued into the next key
        {"REGEDIT4\n[A]\n\"x\"\n", 3},
    };
    // Each damage is followed by a key and a value that must survive it.
    const QByteArray good("\n[HKEY_CURRENT_USER\\B]\n\"ok\"=\"1\"\n");
    for (const auto& c : cases) {
        const QByteArray text =
            QByteArray(c.text, qsizetype(strlen(c.text)) + (c.text[0] == 0 ? 10 : 0)) + good;
        const RegParseResult parsed = ParseRegFile(text);
        ASSERT_TRUE(parsed.Document);
        EXPECT_EQ(parsed.ErrorLine, c.line) << c.text;
        EXPECT_EQ(parsed.BadLines, 1) << c.text;
        EXPECT_FALSE(parsed.Error.isEmpty());
        const QString b = QStringLiteral("HKEY_CURRENT_USER\\B");
        const RegValue* ok = FindRegValue(*parsed.Document, b, QStringLiteral("ok"));
        ASSERT_NE(ok, nullptr) << c.text;
        EXPECT_EQ(ok->Data, QByteArray("1", 2));
        // What is written back leaves the damaged line out and reads whole.
        const RegParseResult again = ParseRegFile(RenderRegFile(*parsed.Document));
        EXPECT_EQ(again.ErrorLine, 0) << c.text;
        EXPECT_NE(FindRegValue(*again.Document, b, QStringLiteral("ok")), nullptr);
    }
    // Every damaged line counts; the first is named.
    const RegParseResult many = ParseRegFile("REGEDIT4\n[A]\n\"x\"=1\n\"y\"=\"2\"\nz\n");
    EXPECT_EQ(many.ErrorLine, 3);
    EXPECT_EQ(many.BadLines, 2);
    EXPECT_NE(FindRegValue(*many.Document, QStringLiteral("A"), QStringLiteral("y")), nullptr);
}

// A settings export as Windows writes it, in each coding it comes in: read whole, written back
// in the same coding, a value that is set to what it holds keeps its bytes.
TEST(RegFile, WindowsExportsInEveryCoding) {
    const QString unicode =
        QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                       "[HKEY_CURRENT_USER\\Software\\Quillmoor\\Vantrel]\r\n"
                       "\"Dir\"=\"C:\\\\Users\\\\Jos\u00e9\\\\skins\\\\\"\r\n\"Top\"=\"55\"\r\n"
                       "\"Path\"=hex(2):25,00,48,00,25,00,00,00\r\n\r\n");
    const QString ansi = QStringLiteral("REGEDIT4\r\n\r\n"
                                        "[HKEY_CURRENT_USER\\Software\\Quillmoor\\Vantrel]\r\n"
                                        "\"Dir\"=\"C:\\\\Users\\\\Jos\u00e9\\\\skins\\\\\"\r\n"
                                        "\"Top\"=\"55\"\r\n\"Path\"=hex(2):25,48,25,00\r\n\r\n");
    const auto utf16 = [](const QString& text) {
        QByteArray bytes("\xFF\xFE");
        for (QChar c : text)
            bytes.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        return bytes;
    };
    const auto bom = [](const QString& text) { return "\xEF\xBB\xBF" + text.toUtf8(); };
    const struct {
        const char* form;
        std::function<QByteArray(const QString&)> code;
        const QString& text;
        RegEncoding encoding;
    } forms[] = {
        {"Version 5.00 in UTF-16LE", utf16, unicode, RegEncoding::Utf16},
        {"Version 5.00 in UTF-8", [](const QString& t) { return t.toUtf8(); }, unicode,
         RegEncoding::Utf8},
        {"Version 5.00 in UTF-8 with a mark", bom, unicode, RegEncoding::Utf8},
        {"REGEDIT4 in Windows-1252", [](const QString& t) { return t.toLatin1(); }, ansi,
         RegEncoding::Windows1252},
        {"REGEDIT4 in UTF-8", [](const QString& t) { return t.toUtf8(); }, ansi, RegEncoding::Utf8},
    };
    for (const auto& f : forms) {
        SCOPED_TRACE(f.form);
        const QByteArray bytes = f.code(f.text);
        const RegParseResult parsed = ParseRegFile(bytes);
        ASSERT_EQ(parsed.ErrorLine, 0) << parsed.Error.toStdString();
        RegDocument doc = *parsed.Document;
        EXPECT_EQ(doc.Encoding, f.encoding);
        EXPECT_EQ(RenderRegFile(doc), bytes);
        const auto text = [&](const char* name) {
            const RegValue* value = FindRegValue(doc, FullKey, QLatin1String(name));
            return value ? RegValueText(*value) : QStringLiteral("(none)");
        };
        EXPECT_EQ(text("Dir"), QStringLiteral("C:\\Users\\Jos\u00e9\\skins\\"));
        EXPECT_EQ(text("Top"), QStringLiteral("55"));
        EXPECT_EQ(text("Path"), QStringLiteral("%H%"));

        // Every value written as the program does at its close: only the changed one changes.
        SetRegValue(doc, FullKey, QStringLiteral("Dir"), RegSz,
                    QStringLiteral("C:\\Users\\Jos\u00e9\\skins\\").toUtf8() + '\0');
        SetRegValue(doc, FullKey, QStringLiteral("Top"), RegSz, QByteArray("56", 3));
        QString changed = f.text;
        changed.replace(QStringLiteral("\"55\""), QStringLiteral("\"56\""));
        EXPECT_EQ(RenderRegFile(doc), f.code(changed));

        // A new value in the file's own coding; Windows-1252 where every character has a byte.
        SetRegValue(doc, FullKey, QStringLiteral("Scheme"), RegSz,
                    QStringLiteral("Zo\u00eb").toUtf8() + '\0');
        SetRegValue(doc, FullKey, QStringLiteral("Far"), RegSz,
                    QStringLiteral("\u4e2d").toUtf8() + '\0');
        const RegParseResult again = ParseRegFile(RenderRegFile(doc));
        ASSERT_EQ(again.ErrorLine, 0);
        EXPECT_EQ(again.Document->Encoding, f.encoding);
        doc = *again.Document;
        EXPECT_EQ(text("Scheme"), QStringLiteral("Zo\u00eb"));
        EXPECT_EQ(text("Far"), QStringLiteral("\u4e2d"));
        EXPECT_EQ(text("Dir"), QStringLiteral("C:\\Users\\Jos\u00e9\\skins\\"));
        EXPECT_EQ(FindRegValue(doc, FullKey, QStringLiteral("Scheme"))->Data,
                  f.encoding == RegEncoding::Windows1252 ? QByteArray("Zo\xEB", 4)
                                                         : QByteArray("Zo\xC3\xAB", 5));
    }
}

// A UTF-16 file with a broken character: that line is damaged, the rest is read.
TEST(RegFile, BrokenUtf16IsADamagedLine) {
    QByteArray bytes("\xFF\xFE");
    for (char c : QByteArray("REGEDIT4\n[A]\n\"x\"=\"1\"\n\"y\"=\"?\"\n"))
        bytes.append(c).append('\0');
    bytes.replace(QByteArray("?\0", 2), QByteArray("\x00\xD8", 2)); // a lone surrogate
    RegParseResult parsed = ParseRegFile(bytes + 'z');              // and an odd byte
    EXPECT_EQ(parsed.ErrorLine, 4);
    EXPECT_EQ(parsed.BadLines, 2);
    EXPECT_NE(FindRegValue(*parsed.Document, QStringLiteral("A"), QStringLiteral("x")), nullptr);
    EXPECT_EQ(FindRegValue(*parsed.Document, QStringLiteral("A"), QStringLiteral("y")), nullptr);

    // A Version 5.00 header cut by an odd byte is written back as REGEDIT4, and a value set
    // afterwards (a folder name may hold a line break) reads back as it was set.
    QByteArray cut("\xFF\xFE");
    for (char c : QByteArray("Windows Registry Editor Version 5.00\r"))
        cut.append(c).append('\0');
    parsed = ParseRegFile(cut + 'R');
    EXPECT_EQ(parsed.ErrorLine, 1);
    const QString key = QStringLiteral("HKEY_CURRENT_USER\\Software\\Quillmoor\\Vantrel");
    SetRegValue(*parsed.Document, key, QStringLiteral("Dir"), RegSz, "/tmp/a\r\nb");
    const RegParseResult again = ParseRegFile(RenderRegFile(*parsed.Document));
    EXPECT_EQ(again.ErrorLine, 0);
    const RegValue* dir = FindRegValue(*again.Document, key, QStringLiteral("Dir"));
    ASSERT_NE(dir, nullptr);
    EXPECT_EQ(RegValueText(*dir), QStringLiteral("/tmp/a\r\nb"));
}

TEST(RegFile, MutatedInputNeverBreaksTheParser) {
    // Whatever the bytes, parsing ends; what parses renders back to the same bytes, and what is
    // left of a damaged file parses whole.
    QRandomGenerator random(20240611);
    const QByteArray base(EveryType);
    for (int round = 0; round < 3000; ++round) {
        QByteArray text = base;
        const int edits = 1 + int(random.bounded(4));
        for (int e = 0; e < edits; ++e) {
            const qsizetype at = random.bounded(int(text.size()));
            switch (random.bounded(3)) {
            case 0:
                text[at] = char(random.bounded(256));
                break;
            case 1:
                text.remove(at, 1 + random.bounded(8));
                break;
            default:
                text.insert(at, "\\\",\n[]@=-"[random.bounded(9)]);
                break;
            }
        }
        const RegParseResult parsed = ParseRegFile(text);
        ASSERT_TRUE(parsed.Document);
        if (parsed.ErrorLine == 0 && !text.trimmed().isEmpty()) {
            ASSERT_EQ(RenderRegFile(*parsed.Document), text);
        }
        // What is left of a damaged file is written back whole.
        ASSERT_EQ(ParseRegFile(RenderRegFile(*parsed.Document)).ErrorLine, 0) << text.constData();
    }
}

} // namespace
