#pragma once
// Key events as the engine reports them: Windows virtual-key codes and the
// engine's modifier bits, from Qt's key events.

#include <QtGlobal>
#include <qnamespace.h>

namespace engine {

// The Windows virtual-key code of a Qt key (Qt::Key); `keypad` marks keys of
// the numeric keypad. 0 for keys without one.
int windowsKeyCode(int qtKey, bool keypad);

// KEY_* bits from Qt's modifiers and the window system's own modifier state
// (on X11 the core protocol state, in which Mod2 is Num Lock).
int keyModifiers(Qt::KeyboardModifiers modifiers, quint32 nativeModifiers, bool autoRepeat);

// The X11 modifier-state bits the layer reads.
inline constexpr quint32 kX11LockMask = 0x02;  // Caps Lock
inline constexpr quint32 kX11Mod2Mask = 0x10;  // Num Lock

} // namespace engine
