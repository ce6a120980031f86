// A table giving every byte value another one, and its pass over pixel memory: the brightness
// operation, done by the picture loader on the whole picture before (or while) it is reduced for
// the screen.
#pragma once

#include <QImage>

#include <array>
#include <cstdint>

using ByteTable = std::array<std::uint8_t, 256>;

namespace ByteTables {

// Every byte value to itself: a reduction by area means of pixels already through their table.
const ByteTable& identity();

// to[i] = table[from[i]] for count bytes; from and to may be the same memory.
void map(const uchar* from, uchar* to, qsizetype count, const ByteTable& table);

// Every colour byte of a 24-bit or 32-bit RGB picture through the table, in place; the unused byte
// of a 32-bit pixel stays opaque. False (nothing changed) for any other format.
bool mapColours(QImage& image, const ByteTable& table);

// Every pixel of target is the mean, over the area of source it covers (pixels cut by its edges
// counted by their share), of the source's colours put through the table: the table first, then
// the reduction, with source read once and nothing of its size written. source: 24-bit or 32-bit
// RGB; target: 24-bit RGB, at most as large as source either way. False (nothing written) else.
bool mapWhileReducing(const QImage& source, QImage& target, const ByteTable& table);

}  // namespace ByteTables
