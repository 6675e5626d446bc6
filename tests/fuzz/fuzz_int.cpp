// Fuzz target: the integer text syntax.
#include "core/Helpers.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto value = ParseInt(text);
    // Whatever parses must print back to a text that parses to the same value.
    if (value && ParseInt(QString::number(*value)) != value) __builtin_trap();
    return 0;
}
