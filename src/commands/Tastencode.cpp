#include "commands/Tastencode.h"

#include <QKeyEvent>

namespace Tastencode {
namespace {

int Code(int qtTaste)
{
    if (qtTaste >= Qt::Key_F1 && qtTaste <= Qt::Key_F24)
        return 112 + (qtTaste - Qt::Key_F1);
    if ((qtTaste >= Qt::Key_A && qtTaste <= Qt::Key_Z) || (qtTaste >= Qt::Key_0 && qtTaste <= Qt::Key_9))
        return qtTaste;  // letters and digits share their codes with the virtual keys
    switch (qtTaste) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Plus: return 187;
    case Qt::Key_Comma: return 188;
    case Qt::Key_Minus: return 189;
    case Qt::Key_Period: return 190;
    default: return 0;
    }
}

}  // namespace

bool AusQt(const QKeyEvent& ereignis, qint16& keyCode, qint16& shift)
{
    const int code = Code(ereignis.key());
    if (code == 0)
        return false;
    const Qt::KeyboardModifiers m = ereignis.modifiers();
    keyCode = static_cast<qint16>(code);
    shift = static_cast<qint16>((m.testFlag(Qt::ShiftModifier) ? kShift : 0) | (m.testFlag(Qt::ControlModifier) ? kStrg : 0) |
                                (m.testFlag(Qt::AltModifier) ? kAlt : 0));
    return true;
}

}  // namespace Tastencode
