// The colour names of "TextColor.txt" and the reading of its first line.
#include "core/TextColor.h"

#include "core/Helpers.h"
#include "core/VError.h"

#include <iterator>

namespace {

struct ColorName {
    const char* Name;
    uint32_t Value;
};

constexpr uint32_t System = 0x80000000u;

constexpr ColorName ColorNames[] = {
    {"clBlack", 0x00000000},
    {"clMaroon", 0x00000080},
    {"clGreen", 0x00008000},
    {"clOlive", 0x00008080},
    {"clNavy", 0x00800000},
    {"clPurple", 0x00800080},
    {"clTeal", 0x00808000},
    {"clGray", 0x00808080},
    {"clSilver", 0x00C0C0C0},
    {"clRed", 0x000000FF},
    {"clLime", 0x0000FF00},
    {"clYellow", 0x0000FFFF},
    {"clBlue", 0x00FF0000},
    {"clFuchsia", 0x00FF00FF},
    {"clAqua", 0x00FFFF00},
    {"clWhite", 0x00FFFFFF},
    {"clNone", 0x1FFFFFFF},
    // The system colours, by their numbers.
    {"clScrollBar", System + 0},
    {"clBackground", System + 1},
    {"clActiveCaption", System + 2},
    {"clInactiveCaption", System + 3},
    {"clMenu", System + 4},
    {"clWindow", System + 5},
    {"clWindowFrame", System + 6},
    {"clMenuText", System + 7},
    {"clWindowText", System + 8},
    {"clCaptionText", System + 9},
    {"clActiveBorder", System + 10},
    {"clInactiveBorder", System + 11},
    {"clAppWorkSpace", System + 12},
    {"clHighlight", System + 13},
    {"clHighlightText", System + 14},
    {"clBtnFace", System + 15},
    {"clBtnShadow", System + 16},
    {"clGrayText", System + 17},
    {"clBtnText", System + 18},
    {"clInactiveCaptionText", System + 19},
    {"clBtnHighlight", System + 20},
    {"cl3DDkShadow", System + 21},
    {"cl3DLight", System + 22},
    {"clInfoText", System + 23},
    {"clInfoBk", System + 24},
};
static_assert(std::size(ColorNames) == 42);

} // namespace

QByteArray TextColorLine(const QByteArray& contents) {
    // A UTF-8 byte-order mark, as some editors write, is not part of the text.
    const qsizetype start = contents.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    qsizetype end = start;
    while (end < contents.size() && contents[end] != '\r' && contents[end] != '\n' &&
           contents[end] != '\x1A')
        ++end;
    return contents.sliced(start, end - start);
}

std::optional<int32_t> ParseTextColor(const QByteArray& contents) {
    const QString line = QString::fromUtf8(TextColorLine(contents));
    for (const ColorName& c : ColorNames)
        if (SameTextAscii(line, QLatin1String(c.Name))) return static_cast<int32_t>(c.Value);
    return ParseInt(line);
}

int32_t TextColorOf(const QByteArray& contents) {
    if (const auto color = ParseTextColor(contents)) return *color;
    throw VantrelError(QStringLiteral("'%1' is not a valid integer value")
                           .arg(QString::fromUtf8(TextColorLine(contents))));
}
