// Key strokes as the key handler sees them: 16-bit virtual-key codes (F1 = 112 … F11 = 122) and a
// modifier mask (1 Shift, 2 Ctrl, 4 Alt). Qt key events are translated here and nowhere else.
#pragma once

#include <QtGlobal>

class QKeyEvent;

namespace Tastencode {

constexpr qint16 kShift = 1;
constexpr qint16 kStrg = 2;
constexpr qint16 kAlt = 4;

// The virtual-key code of a Qt key event and its modifier mask. Every key has one: a key with no
// code of its own gets the code of the key at its place on the keyboard, or of the symbol it
// types, and 0 when neither is known.
void AusQt(const QKeyEvent& ereignis, qint16& keyCode, qint16& shift);

}  // namespace Tastencode
