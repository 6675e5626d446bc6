// The integer text syntax shared by the settings, the delay field and the text colour file.
#include "core/Helpers.h"
#include "core/VError.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

TEST(IntegerSyntax, Table) {
    constexpr std::optional<int32_t> none;
    const struct {
        const char16_t* text;
        std::optional<int32_t> value;
    } cases[] = {
        // Decimal, the examples of the settings store first.
        {u"1500", 1500},
        {u"abc", none},
        {u" 250", 250},
        {u"250 ", none},
        {u"   250", 250},
        {u"+5", 5},
        {u"-40", -40},
        {u"-0", 0},
        {u"00012", 12},
        {u"2147483647", INT32_MAX},
        {u"2147483648", none},
        {u"-2147483648", INT32_MIN},
        {u"-2147483649", none},
        {u"+2147483647", INT32_MAX},
        {u"99999999999999999999", none},
        {u"12a", none},
        {u"1e3", none},
        {u"1 2", none},
        {u"+", none},
        {u"-", none},
        {u"+-1", none},
        {u"", none},
        {u"   ", none},
        {u"\t5", none}, // only the space counts as a blank
        {u"5\n", none},
        {u"\uFF11\uFF12", none}, // digits of other scripts are not digits here
        // Hexadecimal, in all five prefixes and both cases.
        {u"$3E8", 1000},
        {u"$3e8", 1000},
        {u"x10", 16},
        {u"X10", 16},
        {u"0x10", 16},
        {u"0X1f", 31},
        {u" $10", 16},
        {u"$10 ", none},
        {u"$ 10", none},
        {u"$", none},
        {u"x", none},
        {u"0x", none},
        {u"0xx1", none},
        {u"0x1G", none},
        {u"$7FFFFFFF", INT32_MAX},
        {u"$80000000", INT32_MIN},
        {u"$FFFFFFFF", -1},
        {u"$12345678", 0x12345678},
        {u"$123456789", none}, // nine significant digits
        {u"$100000000", none},
        {u"$000000001", 1}, // leading zeros are not significant
        {u"$0FFFFFFFF", -1},
        {u"-$10", none}, // no sign before a hexadecimal prefix
        {u"+$10", none},
        {u"-0x10", none},
        {u"+x10", none},
        {u"$-1", none},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(ParseInt(text), c.value) << '"' << text.toStdString() << '"';
        EXPECT_EQ(StrToIntDef(text, 77), c.value.value_or(77)) << text.toStdString();
    }
}

TEST(IntegerSyntax, StrToIntRaisesTheMessage) {
    EXPECT_EQ(StrToInt(QStringLiteral("$FFFFFFFF")), -1);
    try {
        StrToInt(QStringLiteral("12 "));
        FAIL() << "no error raised";
    } catch (const VantrelError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'12 ' is not a valid integer value"));
    }
}

} // namespace
