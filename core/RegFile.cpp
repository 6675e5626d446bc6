// The settings file's text format: the registry export text, parsed and rendered byte for byte.
#include "core/RegFile.h"

#include <QList>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QUtf8StringView>
#include <climits>
#include <cstring>

namespace {

constexpr char Utf8Bom[] = "\xEF\xBB\xBF";
constexpr char UnicodeHeader[] = "Windows Registry Editor Version 5.00";

// ---------------------------------------------------------------------------------------------
// Text helpers

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

bool SameAscii(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One to eight hex digits as a number (a dword's value, a hex(type)'s type).
std::optional<uint32_t> HexNumber(const QByteArray& digits) {
    if (digits.isEmpty() || digits.size() > 8) return std::nullopt;
    uint32_t v = 0;
    for (char c : digits) {
        const int d = HexValue(c);
        if (d < 0) return std::nullopt;
        v = (v << 4) | uint32_t(d);
    }
    return v;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The line without its "\n" or "\r\n".
QByteArray Content(const QByteArray& line) {
    QByteArray c = line;
    if (c.endsWith('\n')) c.chop(1);
    if (c.endsWith('\r')) c.chop(1);
    return c;
}

QByteArray TrimBlanks(const QByteArray& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

QByteArray Escape(const QByteArray& s) {
    QByteArray out;
    out.reserve(s.size() + 2);
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

// Reads a quoted text starting at s[pos] == '"'; "\\" and "\"" are escapes, any other backslash
// stands for itself. Returns false when the closing quote is missing.
bool ReadQuoted(const QByteArray& s, qsizetype& pos, QByteArray& out) {
    ++pos;
    while (pos < s.size()) {
        const char c = s[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c == '\\' && pos + 1 < s.size() && (s[pos + 1] == '\\' || s[pos + 1] == '"')) {
            out += s[pos + 1];
            pos += 2;
            continue;
        }
        out += c;
        ++pos;
    }
    return false;
}

bool EndsWithBlankLine(const QByteArray& raw) {
    QByteArray s = raw;
    if (!s.endsWith('\n')) return false;
    s.chop(1);
    while (!s.isEmpty() && IsBlank(s.back()))
        s.chop(1);
    return s.isEmpty() || s.endsWith('\n');
}

bool IsUtf8(const QByteArray& bytes) {
    return QUtf8StringView(bytes).isValidUtf8();
}

bool IsText(uint32_t type) {
    return type == RegSz || type == RegExpandSz;
}

// Narrow text as UTF-8, or, where its bytes are not UTF-8, in the code page Windows exports use.
QString NarrowText(const QByteArray& bytes) {
    if (IsUtf8(bytes)) return QString::fromUtf8(bytes);
    QStringDecoder windows1252("windows-1252");
    return windows1252.isValid() ? QString(windows1252(bytes)) : QString::fromLatin1(bytes);
}

QString WideText(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text += QChar(char16_t(uchar(bytes[i]) | uchar(bytes[i + 1]) << 8));
    return text;
}

QByteArray WideBytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (QChar c : text) {
        bytes += char(c.unicode() & 0xFF);
        bytes += char(c.unicode() >> 8);
    }
    return bytes;
}

// All of a value's data as text, NULs included.
QString FullText(const RegValue& value) {
    return value.Wide ? WideText(value.Data) : NarrowText(value.Data);
}

// A text value's data as this file keeps it: Windows-1252 bytes in a file coded so, where every
// character has one; UTF-16LE for hex data of a Unicode file.
RegValue Stored(const RegDocument& document, const QByteArray& name, uint32_t type,
                const QByteArray& data) {
    RegValue value{name, type, data, false, false};
    if (!IsText(type) || !IsUtf8(data)) return value;
    if (document.Encoding == RegEncoding::Windows1252) {
        QStringEncoder windows1252("windows-1252");
        const QByteArray narrow = windows1252(QString::fromUtf8(data));
        if (windows1252.isValid() && !windows1252.hasError()) value.Data = narrow;
    }
    const bool quoted = type == RegSz && data.endsWith('\0') && data.count('\0') == 1 &&
                        !data.contains('\n') && !data.contains('\r');
    if (document.Unicode && !quoted) {
        value.Data = WideBytes(QString::fromUtf8(data));
        value.Wide = true;
    }
    return value;
}

// ---------------------------------------------------------------------------------------------
// One value line, as regedit would write it

QByteArray HexByte(uint8_t b) {
    static const char digits[] = "0123456789abcdef";
    const char pair[2] = {digits[b >> 4], digits[b & 15]};
    return QByteArray(pair, 2);
}

QByteArray RenderValue(const QByteArray& name, uint32_t type, const QByteArray& data,
                       const QByteArray& eol) {
    QByteArray line = name.isEmpty() ? QByteArray("@=") : '"' + Escape(name) + "\"=";
    if (type == RegSz && data.endsWith('\0')) {
        const QByteArray text = data.left(data.size() - 1);
        if (!text.contains('\0') && !text.contains('\n') && !text.contains('\r'))
            return line + '"' + Escape(text) + '"' + eol;
    }
    if (type == RegDword && data.size() == 4) {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | uint8_t(data[i]);
        return line + "dword:" + QByteArray::number(v, 16).rightJustified(8, '0') + eol;
    }
    line += type == RegBinary ? QByteArray("hex:") : "hex(" + QByteArray::number(type, 16) + "):";
    // Lines of at most 80 columns, continued with a backslash and indented by two blanks.
    QByteArray out;
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (line.size() + 3 > 78) {
            out += line + '\\' + eol;
            line = "  ";
        }
        line += HexByte(uint8_t(data[i]));
        if (i + 1 < data.size()) line += ',';
    }
    return out + line + eol;
}

bool PathIs(const RegKey& key, const QByteArray& path) {
    return SameAscii(key.Path, path);
}

// ---------------------------------------------------------------------------------------------
// Parsing one value: the name, "=", and the data, which for hex forms may continue over lines.

struct LineCursor {
    const std::vector<QByteArray>& Lines;
    size_t Index; // the value's first line
    bool Unicode; // a Version 5.00 file: hex data of text types is UTF-16LE
};

QString ParseValue(LineCursor& at, RegEntry& entry) {
    const QByteArray first = Content(at.Lines[at.Index]);
    entry.Raw = at.Lines[at.Index];
    RegValue value;
    qsizetype pos = 0;
    while (pos < first.size() && IsBlank(first[pos]))
        ++pos;
    if (pos < first.size() && first[pos] == '@') {
        ++pos;
    } else if (!ReadQuoted(first, pos, value.Name)) {
        return QStringLiteral("the value name has no closing quote");
    }
    while (pos < first.size() && IsBlank(first[pos]))
        ++pos;
    if (pos >= first.size() || first[pos] != '=') return QStringLiteral("\"=\" is missing");
    ++pos;
    while (pos < first.size() && IsBlank(first[pos]))
        ++pos;
    const QByteArray rest = first.mid(pos);
    const QByteArray lower = rest.toLower();

    if (rest.startsWith('"')) {
        qsizetype p = 0;
        QByteArray text;
        if (!ReadQuoted(rest, p, text)) return QStringLiteral("the text has no closing quote");
        if (!TrimBlanks(rest.mid(p)).isEmpty())
            return QStringLiteral("something follows the closing quote");
        value.Type = RegSz;
        value.Data = text + '\0';
    } else if (TrimBlanks(rest) == "-") {
        value.Deleted = true;
    } else if (lower.startsWith("dword:")) {
        const std::optional<uint32_t> v = HexNumber(TrimBlanks(rest.mid(6)));
        if (!v) return QStringLiteral("a dword needs 1 to 8 hex digits");
        value.Type = RegDword;
        for (int i = 0; i < 4; ++i)
            value.Data += char((*v >> (8 * i)) & 0xFF);
    } else if (lower.startsWith("hex")) {
        qsizetype p = 3;
        value.Type = RegBinary;
        if (p < rest.size() && rest[p] == '(') {
            const qsizetype close = rest.indexOf(')', p);
            const std::optional<uint32_t> t =
                close < 0 ? std::nullopt : HexNumber(rest.mid(p + 1, close - p - 1));
            if (!t) return QStringLiteral("a bad hex(type)");
            value.Type = *t;
            p = close + 1;
        }
        if (p >= rest.size() || rest[p] != ':') return QStringLiteral("\":\" is missing");
        QByteArray bytes = rest.mid(p + 1);
        // A backslash at the end of a line continues the data on the next one.
        while (TrimBlanks(bytes).endsWith('\\')) {
            bytes = TrimBlanks(bytes);
            bytes.chop(1);
            if (at.Index + 1 >= at.Lines.size())
                return QStringLiteral("the data continues past the end of the file");
            const QByteArray next = TrimBlanks(Content(at.Lines[at.Index + 1]));
            if (next.startsWith('[') || next.startsWith('"') || next.startsWith('@'))
                return QStringLiteral("the data continues into the next entry");
            ++at.Index;
            entry.Raw += at.Lines[at.Index];
            bytes += ',' + Content(at.Lines[at.Index]);
        }
        for (const QByteArray& token : bytes.split(',')) {
            const QByteArray t = TrimBlanks(token);
            if (t.isEmpty()) continue;
            if (t.size() > 2 || HexValue(t[0]) < 0 || (t.size() == 2 && HexValue(t[1]) < 0))
                return QStringLiteral("\"%1\" is not a hex byte").arg(QString::fromUtf8(t));
            value.Data +=
                char(t.size() == 2 ? HexValue(t[0]) * 16 + HexValue(t[1]) : HexValue(t[0]));
        }
        value.Wide = at.Unicode && IsText(value.Type);
    } else {
        return QStringLiteral("the data is neither text, dword nor hex");
    }
    entry.Value = std::move(value);
    return QString();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The structure

RegParseResult ParseRegFile(const QByteArray& bytes) {
    RegParseResult result;
    RegDocument document;
    document.Keys.clear();
    std::vector<QByteArray> lines;
    QSet<size_t> unreadable; // lines that are not UTF-16
    if (bytes.startsWith("\xFF\xFE")) {
        document.Encoding = RegEncoding::Utf16;
        // Held as UTF-8 lines, the byte-order mark as UTF-8's own; a line that does not convert
        // both ways (a lone surrogate, an odd byte at the end) is damaged.
        QString line;
        const auto take = [&](bool whole) {
            const QByteArray utf8 = line.toUtf8();
            if (!whole || QString::fromUtf8(utf8) != line) unreadable.insert(lines.size());
            lines.push_back(lines.empty() ? Utf8Bom + utf8 : utf8);
            line.clear();
        };
        for (qsizetype i = 2; i + 1 < bytes.size(); i += 2) {
            line += QChar(char16_t(uchar(bytes[i]) | uchar(bytes[i + 1]) << 8));
            if (line.back() == u'\n') take(true);
        }
        if (!line.isEmpty() || bytes.size() % 2) take(bytes.size() % 2 == 0);
    } else {
        if (!IsUtf8(bytes)) document.Encoding = RegEncoding::Windows1252;
        for (qsizetype pos = 0; pos < bytes.size();) {
            const qsizetype nl = bytes.indexOf('\n', pos);
            const qsizetype end = nl < 0 ? bytes.size() : nl + 1;
            lines.push_back(bytes.mid(pos, end - pos));
            pos = end;
        }
    }
    // An empty file holds nothing yet.
    QByteArray text;
    for (const QByteArray& line : lines)
        text += line;
    if (document.Encoding == RegEncoding::Utf16) text = text.mid(3);
    if (unreadable.isEmpty() && text.trimmed().isEmpty()) {
        result.Document = RegDocument();
        return result;
    }
    // A damaged line is reported (the first one by its number) and left out; the rest is read.
    const auto damaged = [&](size_t index, const QString& why) {
        if (!result.ErrorLine) {
            result.ErrorLine = int(index + 1);
            result.Error = why;
        }
        ++result.BadLines;
    };

    document.Eol = lines[0].endsWith("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    QByteArray first = Content(lines[0]);
    if (first.startsWith(Utf8Bom)) first = first.mid(3);
    first = TrimBlanks(first);
    document.Unicode = first == UnicodeHeader && !unreadable.contains(0);
    if (unreadable.contains(0)) {
        // Written back as REGEDIT4, so its values are read and written as REGEDIT4's.
        damaged(0, QStringLiteral("the line is not UTF-16 text"));
        document.Head = "REGEDIT4" + document.Eol;
    } else if (first != "REGEDIT4" && !document.Unicode) {
        damaged(0, QStringLiteral("the first line is not REGEDIT4 or %1")
                       .arg(QLatin1String(UnicodeHeader)));
        document.Head = "REGEDIT4" + document.Eol;
    } else {
        document.Head = lines[0];
    }

    bool inDamagedKey = false; // the values of a key whose line is damaged are left out too
    for (size_t i = 1; i < lines.size(); ++i) {
        if (unreadable.contains(i)) {
            damaged(i, QStringLiteral("the line is not UTF-16 text"));
            continue;
        }
        const QByteArray t = TrimBlanks(Content(lines[i]));
        if (t.isEmpty() || t.startsWith(';')) {
            if (document.Keys.empty())
                document.Head += lines[i];
            else
                document.Keys.back().Entries.push_back({lines[i], std::nullopt});
            continue;
        }
        if (t.startsWith('[')) {
            inDamagedKey = !t.endsWith(']') || t.size() < 3;
            if (inDamagedKey) {
                damaged(i, QStringLiteral("a bad key line"));
                continue;
            }
            RegKey key;
            key.Header = lines[i];
            key.Path = t.mid(1, t.size() - 2);
            if (key.Path.startsWith('-')) {
                key.Deleted = true;
                key.Path = key.Path.mid(1);
            }
            document.Keys.push_back(std::move(key));
            continue;
        }
        if (t.startsWith('"') || t.startsWith('@')) {
            LineCursor cursor{lines, i, document.Unicode};
            RegEntry entry;
            const QString error = ParseValue(cursor, entry);
            if (inDamagedKey) {
            } else if (document.Keys.empty()) {
                damaged(i, QStringLiteral("a value before any key"));
            } else if (!error.isEmpty()) {
                damaged(i, error);
            } else {
                document.Keys.back().Entries.push_back(std::move(entry));
            }
            i = cursor.Index;
            continue;
        }
        if (!inDamagedKey) damaged(i, QStringLiteral("neither a key, a value nor a comment"));
    }
    result.Document = std::move(document);
    return result;
}

QByteArray RenderRegFile(const RegDocument& document) {
    QByteArray out = document.Head;
    for (const RegKey& key : document.Keys) {
        out += key.Header;
        for (const RegEntry& entry : key.Entries)
            out += entry.Raw;
    }
    if (document.Encoding != RegEncoding::Utf16) return out;
    if (out.startsWith(Utf8Bom)) out = out.mid(3);
    return "\xFF\xFE" + WideBytes(QString::fromUtf8(out));
}

QString RegValueText(const RegValue& value) {
    const QString text = FullText(value);
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

const RegValue* FindRegValue(const RegDocument& document, const QString& keyPath,
                             const QString& name) {
    const QByteArray path = keyPath.toUtf8();
    const QByteArray wanted = name.toUtf8();
    const RegValue* found = nullptr;
    for (const RegKey& key : document.Keys) {
        if (!PathIs(key, path)) continue;
        if (key.Deleted) {
            found = nullptr; // a removal of the key drops what came before it
            continue;
        }
        for (const RegEntry& entry : key.Entries)
            if (entry.Value && SameAscii(entry.Value->Name, wanted)) found = &*entry.Value;
    }
    return found && !found->Deleted ? found : nullptr;
}

void SetRegValue(RegDocument& document, const QString& keyPath, const QString& name, uint32_t type,
                 const QByteArray& data) {
    const QByteArray path = keyPath.toUtf8();
    const QByteArray wanted = name.toUtf8();
    const QByteArray& eol = document.Eol;
    const auto terminate = [&](QByteArray& raw) {
        if (!raw.endsWith('\n')) raw += eol;
    };

    RegEntry* existing = nullptr;
    RegKey* lastKey = nullptr;
    for (RegKey& key : document.Keys) {
        if (!PathIs(key, path)) continue;
        if (key.Deleted) {
            existing = nullptr;
            lastKey = nullptr;
            continue;
        }
        lastKey = &key;
        for (RegEntry& entry : key.Entries)
            if (entry.Value && SameAscii(entry.Value->Name, wanted)) existing = &entry;
    }

    if (existing) {
        RegValue& value = *existing->Value;
        // A value that already holds what is set keeps its bytes, whatever their coding.
        const bool same = !value.Deleted && value.Type == type &&
                          (value.Data == data || (IsText(type) && IsUtf8(data) &&
                                                  FullText(value) == QString::fromUtf8(data)));
        if (same) return;
        value = Stored(document, value.Name, type, data);
        existing->Raw = RenderValue(value.Name, type, value.Data, eol);
        return;
    }
    RegValue stored = Stored(document, wanted, type, data);
    RegEntry entry{RenderValue(wanted, type, stored.Data, eol), stored};
    if (lastKey) {
        // After the key's last value, before the blank line that closes it.
        auto& entries = lastKey->Entries;
        auto at = entries.begin();
        for (auto it = entries.begin(); it != entries.end(); ++it)
            if (it->Value) at = it + 1;
        terminate(at == entries.begin() ? lastKey->Header : (at - 1)->Raw);
        entries.insert(at, std::move(entry));
        return;
    }
    QByteArray& last = document.Keys.empty() ? document.Head
                                             : (document.Keys.back().Entries.empty()
                                                    ? document.Keys.back().Header
                                                    : document.Keys.back().Entries.back().Raw);
    terminate(last);
    if (!EndsWithBlankLine(last)) {
        if (document.Keys.empty())
            document.Head += eol;
        else
            document.Keys.back().Entries.push_back({eol, std::nullopt});
    }
    RegKey key;
    key.Header = '[' + path + ']' + eol;
    key.Path = path;
    key.Entries.push_back(std::move(entry));
    key.Entries.push_back({eol, std::nullopt});
    document.Keys.push_back(std::move(key));
}
