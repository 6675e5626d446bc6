// The settings file's text format: a registry export, parsed and rendered byte for byte.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// Value types, numbered as the registry numbers them.
constexpr uint32_t RegNone = 0;
constexpr uint32_t RegSz = 1;
constexpr uint32_t RegExpandSz = 2;
constexpr uint32_t RegBinary = 3;
constexpr uint32_t RegDword = 4;

// The file, parsed so that writing it back gives the same bytes: every entry keeps its text, and
// only an entry that is set anew gets new text.
struct RegValue {
    QByteArray Name; // unescaped; empty for the default value "@"
    uint32_t Type = RegNone;
    QByteArray Data;      // the bytes the registry would hold (text with its closing NUL)
    bool Deleted = false; // "name"=- : the value is absent
    bool Wide = false;    // Data is UTF-16LE text: hex data of a text type in a Unicode file
};

struct RegEntry {
    QByteArray Raw;                // the lines as written, line ends and continuations included
    std::optional<RegValue> Value; // none for blank and comment lines
};

struct RegKey {
    QByteArray Header;    // the "[...]" line as written
    QByteArray Path;      // the text between the brackets
    bool Deleted = false; // "[-...]"
    std::vector<RegEntry> Entries;
};

// How the file's text is coded. A file is written back in the coding it was read in.
enum class RegEncoding {
    Utf8,        // UTF-8 or plain ASCII, with or without a byte-order mark
    Windows1252, // bytes that are not UTF-8: the code page of Windows exports
    Utf16,       // UTF-16LE with a byte-order mark; held here as UTF-8 and turned back at render
};

struct RegDocument {
    QByteArray Head = "REGEDIT4\n\n"; // everything before the first key
    std::vector<RegKey> Keys;
    QByteArray Eol = "\n"; // the line end new lines get: the file's own
    RegEncoding Encoding = RegEncoding::Utf8;
    bool Unicode = false; // "Windows Registry Editor Version 5.00": hex text data is UTF-16LE
};

struct RegParseResult {
    // Always set: every line that parsed. A damaged line is left out (with the values of a key
    // whose line is damaged), and a damaged first line is replaced by "REGEDIT4".
    std::optional<RegDocument> Document;
    int ErrorLine = 0; // 1-based: the first damaged line; 0 when the whole text parsed
    QString Error;     // what is wrong with that line
    int BadLines = 0;  // damaged lines in all
};

// Pure: bytes in, structure out. Well-formed input renders back to the very same bytes. Both
// headers are read, "REGEDIT4" and "Windows Registry Editor Version 5.00", in UTF-8, ASCII,
// Windows-1252 or UTF-16LE with a byte-order mark.
RegParseResult ParseRegFile(const QByteArray& bytes);
QByteArray RenderRegFile(const RegDocument& document);

// Looks up a value of a key ("HKEY_CURRENT_USER\Software\..."), names and paths compared with ASCII
// case folding; the last one written wins, as an import would have it. Null when absent.
const RegValue* FindRegValue(const RegDocument& document, const QString& keyPath,
                             const QString& name);
// The text of a REG_SZ or REG_EXPAND_SZ value's data, up to its first NUL: UTF-16LE when the
// value is wide, else UTF-8, or Windows-1252 where the bytes are not UTF-8.
QString RegValueText(const RegValue& value);
// Sets a value, creating the key at the end of the file when it is missing. An existing value
// keeps its place and the spelling of its name; one that already holds the same text (or the
// same data) keeps its very bytes. Text data is given in UTF-8 and kept in the file's coding: a
// Windows-1252 file gets Windows-1252 bytes where every character has one.
void SetRegValue(RegDocument& document, const QString& keyPath, const QString& name, uint32_t type,
                 const QByteArray& data);
