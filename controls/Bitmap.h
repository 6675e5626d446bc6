// The program's BMP loader: decodes a file with Qt's BMP reader, refusing what it must not try.
#pragma once

#include <QImage>
#include <QString>

// Largest picture the loader will decode; a header claiming more is not a valid bitmap.
constexpr qint64 MaxBitmapPixels = 64LL * 1024 * 1024;

// Loads the BMP file at path (a path as the file layer understands it). Raises
// "Cannot open file %s" (the path as given) when the file exists but cannot be opened, and
// "Bitmap image is not valid" when its contents do not decode as a BMP.
QImage LoadBitmap(const QString& path);

// Decodes BMP bytes; raises "Bitmap image is not valid" when they do not decode.
QImage DecodeBitmap(const QByteArray& bytes);

class QPixmap;
// A built-in picture compiled into the program (":/scheme/back.bmp"), read as BMP straight away
// rather than by asking every image plugin whether it knows the file.
QPixmap BuiltInPicture(const QString& resource);
