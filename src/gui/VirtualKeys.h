#pragma once
// Key codes in the form the editor's handlers compare them with: the virtual-key numbers of the
// Windows keyboard (13 Enter, 27 Esc, 37-40 the arrows, ...), and the modifier mask 1 Shift,
// 2 Ctrl, 4 Alt.

#include <Qt>

class QKeyEvent;

namespace kvor::vk {

enum : int
{
    Back = 8,
    Tab = 9,
    Return = 13,
    Shift = 16,
    Control = 17,
    Menu = 18,
    Escape = 27,
    Space = 32,
    Prior = 33, // Page Up
    Next = 34,  // Page Down
    End = 35,
    Home = 36,
    Left = 37,
    Up = 38,
    Right = 39,
    Down = 40,
    Insert = 45,
    Delete = 46,
    Decimal = 110, // the keypad's decimal point
    F1 = 112,
    F2 = 113,
};

enum : int
{
    ShiftMask = 1,
    CtrlMask = 2,
    AltMask = 4
};

// The virtual-key code of a key event; 0 for a key that has none here.
int KeyCode(const QKeyEvent* event);
int ShiftState(Qt::KeyboardModifiers modifiers);
// The character a key press types: 13 for Enter, 27 for Esc, 8 for Backspace, otherwise the
// Unicode value of the typed character; -1 when the key types nothing.
int KeyAscii(const QKeyEvent* event);

// The Qt key and modifiers for a virtual-key code, to post a key as if it had been pressed.
Qt::Key QtKey(int keyCode);
Qt::KeyboardModifiers QtModifiers(int shift);

bool IsNavigation(int keyCode);

} // namespace kvor::vk
