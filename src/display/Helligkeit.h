// The brightness operation: a lookup table built from the level (80 is neutral) and a pass that
// rewrites every byte of a 24-bit picture from an untouched source copy through it.
#pragma once

#include "platform/ByteTable.h"

#include <QImage>

#include <optional>

namespace Helligkeit {

using Tabelle = ByteTable;

// The level that leaves every pixel as it is, and the one the program starts with.
inline constexpr int kNeutral = 80;

// Entry i is i × e^(level/50)/5, rounded half to even, at most 255.
Tabelle TabelleBerechnen(int stufe);

// The table pictures are decoded through at a level: none at the neutral 80, which leaves every
// pixel as it is.
std::optional<Tabelle> FuerStufe(int stufe);

// Writes table[source byte] into every byte of the working copy, padding bytes included. Both
// pictures must have the same size and format; returns false (changing nothing) otherwise.
bool Anwenden(QImage& arbeitskopie, const QImage& quelle, const Tabelle& tabelle);

}  // namespace Helligkeit
