// Fuzz target: BMP decoding through the program's own loader.
#include "controls/Bitmap.h"
#include "core/VError.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const QImage image =
            DecodeBitmap(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
        if (image.isNull() || qint64(image.width()) * image.height() > MaxBitmapPixels)
            __builtin_trap();
    } catch (const VantrelError&) {
    }
    return 0;
}
