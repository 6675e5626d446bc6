// Integer text syntax, ASCII case folding and the amount format.
#include "core/Helpers.h"

#include "core/VError.h"

#include <cmath>

namespace {

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

} // namespace

std::optional<int32_t> ParseInt(const QString& text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == u' ')
        ++i;
    if (i == n) return std::nullopt;

    qsizetype hexStart = -1;
    if (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')
        hexStart = i + 1;
    else if (text[i] == u'0' && i + 1 < n && (text[i + 1] == u'x' || text[i + 1] == u'X'))
        hexStart = i + 2;

    if (hexStart >= 0) {
        if (hexStart == n) return std::nullopt;
        uint32_t value = 0;
        for (qsizetype k = hexStart; k < n; ++k) {
            const int d = HexDigit(text[k].unicode());
            if (d < 0 || value > 0x0FFFFFFFu) return std::nullopt;
            value = (value << 4) | uint32_t(d);
        }
        return static_cast<int32_t>(value);
    }

    bool negative = false;
    if (text[i] == u'+' || text[i] == u'-') {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == n) return std::nullopt;
    int64_t value = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > int64_t(INT32_MAX) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

int32_t StrToIntDef(const QString& text, int32_t def) {
    return ParseInt(text).value_or(def);
}

int32_t StrToInt(const QString& text) {
    if (const auto value = ParseInt(text)) return *value;
    throw VantrelError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

QString AsciiLower(QString text) {
    for (QChar& c : text)
        if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + 32);
    return text;
}

QString AsciiUpper(QString text) {
    for (QChar& c : text)
        if (c >= u'a' && c <= u'z') c = QChar(c.unicode() - 32);
    return text;
}

bool SameTextAscii(const QString& a, const QString& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x >= u'A' && x <= u'Z') x += 32;
        if (y >= u'A' && y <= u'Z') y += 32;
        if (x != y) return false;
    }
    return true;
}

QString FormatKb(long double kb, QChar separator) {
    // Halves away from zero.
    const long double rounded = std::round(kb);
    const bool negative = rounded < 0;
    long double magnitude = negative ? -rounded : rounded;
    QString digits;
    if (magnitude >= 1) {
        // Far beyond any memory size, but keep the text finite.
        if (!std::isfinite(magnitude) || magnitude > 1e30L) magnitude = 1e30L;
        digits = QString::number(static_cast<double>(magnitude), 'f', 0);
        for (qsizetype pos = digits.size() - 3; pos > 0; pos -= 3)
            digits.insert(pos, separator);
        if (negative) digits.prepend(u'-');
    }
    return digits + QStringLiteral(" Kb");
}
