// "TextColor.txt": its first line as a colour name or an integer.
#include "core/TextColor.h"

#include "core/VError.h"

#include <gtest/gtest.h>

namespace {

TEST(TextColor, FirstLineAsNameOrInteger) {
    const struct {
        QByteArray contents;
        std::optional<int32_t> color;
    } cases[] = {
        // A name, in any case of its ASCII letters; the line ends at byte 13 or 26.
        {"clred\r\n", 0x000000FF},
        {"clRed", 0x000000FF},
        {"CLLIME\rclRed", 0x0000FF00},
        {QByteArray("clBlue\x1A"
                    "clRed",
                    12),
         0x00FF0000},
        {"clWhite\r", 0x00FFFFFF},
        {"clNone", 0x1FFFFFFF},
        {"clFuchsia", 0x00FF00FF},
        // Every line ending: LF, CRLF, CR, byte 26, and none; the line feed of a Linux editor
        // also ends the line, and a UTF-8 byte-order mark before the text is skipped.
        {"clRed\n", 0x000000FF},
        {"clRed\nclBlue\n", 0x000000FF},
        {"\xEF\xBB\xBF"
         "clRed\n",
         0x000000FF},
        {"\xEF\xBB\xBF"
         "clRed\r\n",
         0x000000FF},
        {"\xEF\xBB\xBF"
         "255",
         255},
        {"\xEF\xBB\xBF", std::nullopt},
        {"\nclRed", std::nullopt},
        // Nothing is trimmed.
        {"clRed ", std::nullopt},
        {" clRed", std::nullopt},
        {"clRéd", std::nullopt},
        // The integer text syntax.
        {"$0000FF00", 0x0000FF00},
        {"255", 255},
        {"  255\r\n", 255},
        {"-1", -1},
        {"0x80000005", static_cast<int32_t>(0x80000005u)},
        {"xFF", 255},
        {"2147483648", std::nullopt},
        {"255\n", 255},
        {"255 \n", std::nullopt},
        {"12ab", std::nullopt},
        // Empty, or nothing before the end of the line.
        {"", std::nullopt},
        {"\r255", std::nullopt},
        {QByteArray("\x1A"
                    "255",
                    4),
         std::nullopt},
        {QByteArray("25\0"
                    "5",
                    4),
         std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseTextColor(c.contents), c.color) << c.contents.toStdString();
}

TEST(TextColor, SystemColoursByNumber) {
    const char* names[] = {
        "clScrollBar",    "clBackground",  "clActiveCaption", "clInactiveCaption",
        "clMenu",         "clWindow",      "clWindowFrame",   "clMenuText",
        "clWindowText",   "clCaptionText", "clActiveBorder",  "clInactiveBorder",
        "clAppWorkSpace", "clHighlight",   "clHighlightText", "clBtnFace",
        "clBtnShadow",    "clGrayText",    "clBtnText",       "clInactiveCaptionText",
        "clBtnHighlight", "cl3DDkShadow",  "cl3DLight",       "clInfoText",
        "clInfoBk"};
    for (int n = 0; n < 25; ++n) {
        const auto expected = static_cast<int32_t>(0x80000000u + uint32_t(n));
        EXPECT_EQ(ParseTextColor(names[n]), expected) << names[n];
        EXPECT_EQ(ParseTextColor(QByteArray(names[n]).toLower() + "\r\n"), expected) << names[n];
    }
}

TEST(TextColor, ErrorQuotesTheLineRead) {
    const struct {
        QByteArray contents;
        const char* message;
    } cases[] = {
        {"clRedd\nclRed", "'clRedd' is not a valid integer value"},
        {"\xEF\xBB\xBF"
         "grey\n",
         "'grey' is not a valid integer value"},
        {"clRed \r\nclBlue", "'clRed ' is not a valid integer value"},
        {"", "'' is not a valid integer value"},
        {"\r\n", "'' is not a valid integer value"},
        {"grün", "'grün' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        try {
            TextColorOf(c.contents);
            ADD_FAILURE() << "no error for " << c.contents.toStdString();
        } catch (const VantrelError& e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(c.message));
        }
    }
    EXPECT_EQ(TextColorOf("clMaroon\r\n"), 0x00000080);
}

} // namespace
