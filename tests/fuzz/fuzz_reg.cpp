// Fuzz target: the settings file reader and writer.
#include "core/RegFile.h"

#include <QString>
#include <cstddef>
#include <cstdint>

namespace {

const QString Key = QStringLiteral("HKEY_CURRENT_USER\\Software\\Quillmoor\\Vantrel");

bool Utf8RoundTrips(const QByteArray& bytes) {
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

bool SameValue(const RegValue* a, const RegValue* b) {
    if (!a || !b) return a == b;
    return a->Type == b->Type && a->Data == b->Data && a->Wide == b->Wide;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const RegParseResult parsed = ParseRegFile(bytes);
    if (!parsed.Document) __builtin_trap();
    if (parsed.ErrorLine && (parsed.Error.isEmpty() || parsed.BadLines < 1)) __builtin_trap();
    // A file that parses whole renders back to its very bytes, whatever its coding; an empty one
    // to a fresh file. What is left of a damaged file renders to a file that parses whole.
    const QByteArray rendered = RenderRegFile(*parsed.Document);
    const RegParseResult reread = ParseRegFile(rendered);
    if (reread.ErrorLine) __builtin_trap();
    // (A file holding only blanks, in any coding, is an empty one.)
    if (!parsed.ErrorLine && rendered != bytes && rendered != RenderRegFile(RegDocument()))
        __builtin_trap();

    // Setting a value the way the program does keeps the file readable, finds the value as set
    // and leaves every other value as it was.
    RegDocument changed = *parsed.Document;
    const QByteArray text = bytes.left(24).toHex() + QByteArray("\"\\\r\n", 4) + '\0';
    SetRegValue(changed, Key, QStringLiteral("Top"), RegSz, text);
    const RegParseResult again = ParseRegFile(RenderRegFile(changed));
    if (!again.Document || again.ErrorLine) __builtin_trap();
    const RegValue* top = FindRegValue(*again.Document, Key, QStringLiteral("TOP"));
    if (!top || top->Type != RegSz || RegValueText(*top) != QString::fromUtf8(text.chopped(1)))
        __builtin_trap();
    for (const RegKey& key : parsed.Document->Keys) {
        if (!Utf8RoundTrips(key.Path)) continue;
        const QString path = QString::fromUtf8(key.Path);
        for (const RegEntry& entry : key.Entries) {
            if (!entry.Value || !Utf8RoundTrips(entry.Value->Name)) continue;
            const QString name = QString::fromUtf8(entry.Value->Name);
            if (path.compare(Key, Qt::CaseInsensitive) == 0 &&
                name.compare(QStringLiteral("Top"), Qt::CaseInsensitive) == 0)
                continue;
            if (!SameValue(FindRegValue(*parsed.Document, path, name),
                           FindRegValue(*again.Document, path, name)))
                __builtin_trap();
        }
    }
    return 0;
}
