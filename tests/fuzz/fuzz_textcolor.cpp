// Fuzz target: the first line of "TextColor.txt" as a colour name or an integer.
#include "core/TextColor.h"
#include "core/VError.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray contents(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray line = TextColorLine(contents);
    // The line starts the file, or follows its UTF-8 byte-order mark, and holds no line end.
    const QByteArray text = contents.startsWith("\xEF\xBB\xBF") ? contents.mid(3) : contents;
    if (!text.startsWith(line) || line.contains('\r') || line.contains('\n') ||
        line.contains('\x1A'))
        __builtin_trap();
    const auto color = ParseTextColor(contents);
    // The raising form agrees with the quiet one: the same colour, or an error naming the line.
    try {
        if (TextColorOf(contents) != color) __builtin_trap();
    } catch (const VantrelError& e) {
        if (color || !e.message().endsWith(QStringLiteral("' is not a valid integer value")))
            __builtin_trap();
    }
    return 0;
}
