// Reading a scheme's "TextColor.txt": its first line as a colour name or an integer.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

// The first line: from the first byte (after a UTF-8 byte-order mark) to the first byte 13, 10
// or 26, or to the end. Nothing is trimmed. A line feed ends it too, as every editor on this
// system ends a line with one; it is never part of a valid colour.
QByteArray TextColorLine(const QByteArray& contents);

// The colour the first line gives: one of the 42 colour names (ASCII letters in any case), or
// else a number in the integer text syntax. Empty when it is neither.
std::optional<int32_t> ParseTextColor(const QByteArray& contents);

// As ParseTextColor; raises "'%s' is not a valid integer value" with the line read.
int32_t TextColorOf(const QByteArray& contents);

// Longer than any name or number a colour file needs; a first line beyond it cannot be one, so
// no more of the file is read.
constexpr qint64 MaxTextColorRead = 65536;
