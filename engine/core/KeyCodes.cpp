#include "engine/core/KeyCodes.h"

#include "engine/cef/CefTypes.h"

#include <Qt>

namespace engine {

int windowsKeyCode(int qtKey, bool keypad)
{
    if (keypad) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
            return 0x60 + (qtKey - Qt::Key_0);  // VK_NUMPAD0..9
        switch (qtKey) {
        case Qt::Key_Asterisk: return 0x6A;  // VK_MULTIPLY
        case Qt::Key_Plus: return 0x6B;      // VK_ADD
        case Qt::Key_Minus: return 0x6D;     // VK_SUBTRACT
        case Qt::Key_Period: return 0x6E;    // VK_DECIMAL
        case Qt::Key_Comma: return 0x6E;
        case Qt::Key_Slash: return 0x6F;     // VK_DIVIDE
        default: break;                      // Enter, arrows, ... as below
        }
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return 0x41 + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return 0x30 + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 0x70 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 0x09;
    case Qt::Key_Clear: return 0x0C;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 0x0D;
    case Qt::Key_Shift: return 0x10;
    case Qt::Key_Control: return 0x11;
    case Qt::Key_Alt: return 0x12;
    case Qt::Key_Pause: return 0x13;
    case Qt::Key_CapsLock: return 0x14;
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Print: return 0x2C;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    case Qt::Key_Help: return 0x2F;
    case Qt::Key_Meta: return 0x5B;      // VK_LWIN
    case Qt::Key_Menu: return 0x5D;      // VK_APPS
    case Qt::Key_NumLock: return 0x90;
    case Qt::Key_ScrollLock: return 0x91;
    // The punctuation keys of a US keyboard, shifted or not.
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return 0xBA;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return 0xBB;
    case Qt::Key_Comma:
    case Qt::Key_Less: return 0xBC;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return 0xBD;
    case Qt::Key_Period:
    case Qt::Key_Greater: return 0xBE;
    case Qt::Key_Slash:
    case Qt::Key_Question: return 0xBF;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return 0xC0;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return 0xDB;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return 0xDC;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return 0xDD;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return 0xDE;
    // Shifted digits of a US keyboard give the digit's code.
    case Qt::Key_Exclam: return 0x31;
    case Qt::Key_At: return 0x32;
    case Qt::Key_NumberSign: return 0x33;
    case Qt::Key_Dollar: return 0x34;
    case Qt::Key_Percent: return 0x35;
    case Qt::Key_AsciiCircum: return 0x36;
    case Qt::Key_Ampersand: return 0x37;
    case Qt::Key_Asterisk: return 0x38;
    case Qt::Key_ParenLeft: return 0x39;
    case Qt::Key_ParenRight: return 0x30;
    default: return 0;
    }
}

int keyModifiers(Qt::KeyboardModifiers modifiers, quint32 nativeModifiers, bool autoRepeat)
{
    int result = 0;
    if (modifiers & Qt::ShiftModifier)
        result |= KEY_SHIFT;
    if (modifiers & Qt::ControlModifier)
        result |= KEY_CTRL;
    if (modifiers & Qt::AltModifier)
        result |= KEY_ALT;
    if (modifiers & Qt::MetaModifier)
        result |= KEY_META;
    if (modifiers & Qt::KeypadModifier)
        result |= KEY_KEYPAD;
    if (autoRepeat)
        result |= KEY_AUTOREPEAT;
    if (nativeModifiers & kX11LockMask)
        result |= KEY_CAPSLOCK;
    if (nativeModifiers & kX11Mod2Mask)
        result |= KEY_NUMLOCK;
    return result;
}

} // namespace engine
