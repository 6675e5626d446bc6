// Text helpers every layer shares: integer text syntax, ASCII case folding, amount format.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// The integer text syntax: leading blanks; "$", "x", "X", "0x" or "0X" and at most eight
// significant hexadecimal digits read as 32 bits; or decimal digits after an optional sign
// within the signed 32-bit range; nothing after the digits. Empty when the text is unusable.
std::optional<int32_t> ParseInt(const QString& text);
// The parsed value, or the default when the text is unusable.
int32_t StrToIntDef(const QString& text, int32_t def);
// The parsed value; raises "'%s' is not a valid integer value" when the text is unusable.
int32_t StrToInt(const QString& text);

// ASCII case folding: only the letters A to Z and a to z change.
QString AsciiLower(QString text);
QString AsciiUpper(QString text);
bool SameTextAscii(const QString& a, const QString& b);

// An amount in kilobytes as text: rounded half away from zero, grouped in threes with the
// given thousands separator (the locale's), no digits at all for 0, then " Kb".
QString FormatKb(long double kb, QChar separator);
