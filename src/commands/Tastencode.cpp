#include "commands/Tastencode.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace Tastencode {
namespace {

// Keys with a code of their own.
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
    case Qt::Key_Clear: return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return 18;
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
    case Qt::Key_Meta:
    case Qt::Key_Super_L: return 91;
    case Qt::Key_Super_R: return 92;
    case Qt::Key_Menu: return 93;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    default: return 0;
    }
}

// Keys of the main block that type symbols, by their place (the keyboard's own key numbers under
// X11 and Wayland): the digit row and the punctuation keys, so that Shift+1 is 1 with Shift
// whatever the layout prints on it.
int CodeNachPlatz(quint32 tastennummer)
{
    if (tastennummer >= 10 && tastennummer <= 18)
        return '1' + int(tastennummer - 10);
    switch (tastennummer) {
    case 19: return '0';
    case 20: return 189;  // - _
    case 21: return 187;  // = +
    case 34: return 219;  // [ {
    case 35: return 221;  // ] }
    case 47: return 186;  // ; :
    case 48: return 222;  // ' "
    case 49: return 192;  // ` ~
    case 51: return 220;  // \ |
    case 59: return 188;  // , <
    case 60: return 190;  // . >
    case 61: return 191;  // / ?
    case 94: return 226;  // the extra key beside the left Shift
    default: return 0;
    }
}

// The same keys by the symbol they type, where the place is not known.
int CodeNachZeichen(int qtTaste)
{
    switch (qtTaste) {
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return 189;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return 187;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
    case Qt::Key_ssharp: return 219;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
    case Qt::Key_Dead_Acute:
    case Qt::Key_Dead_Grave: return 221;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
    case Qt::Key_Udiaeresis: return 186;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
    case Qt::Key_Adiaeresis: return 222;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
    case Qt::Key_Odiaeresis: return 192;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
    case Qt::Key_AsciiCircum:
    case Qt::Key_Dead_Circumflex: return 220;
    case Qt::Key_Comma: return 188;
    case Qt::Key_Period: return 190;
    case Qt::Key_Slash:
    case Qt::Key_Question:
    case Qt::Key_NumberSign: return 191;
    case Qt::Key_Less:
    case Qt::Key_Greater: return 226;
    default: return 0;
    }
}

bool TastennummernBekannt()
{
    const QString plattform = QGuiApplication::platformName();
    return plattform == u"xcb" || plattform.startsWith(u"wayland");
}

}  // namespace

void AusQt(const QKeyEvent& ereignis, qint16& keyCode, qint16& shift)
{
    int code = Code(ereignis.key());
    if (code == 0 && TastennummernBekannt())
        code = CodeNachPlatz(ereignis.nativeScanCode());
    if (code == 0)
        code = CodeNachZeichen(ereignis.key());
    const Qt::KeyboardModifiers m = ereignis.modifiers();
    keyCode = static_cast<qint16>(code);
    shift = static_cast<qint16>((m.testFlag(Qt::ShiftModifier) ? kShift : 0) | (m.testFlag(Qt::ControlModifier) ? kStrg : 0) |
                                (m.testFlag(Qt::AltModifier) ? kAlt : 0));
}

}  // namespace Tastencode
