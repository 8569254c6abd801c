#include "gui/VirtualKeys.h"

#include <QKeyEvent>

namespace kvor::vk {

int KeyCode(const QKeyEvent* e)
{
    const int key = e->key();
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    if (keypad) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) {
            return 96 + (key - Qt::Key_0);
        }
        switch (key) {
        case Qt::Key_Period:
        case Qt::Key_Comma:
            return Decimal;
        case Qt::Key_Asterisk:
            return 106;
        case Qt::Key_Plus:
            return 107;
        case Qt::Key_Minus:
            return 109;
        case Qt::Key_Slash:
            return 111;
        default:
            break;
        }
    }
    switch (key) {
    case Qt::Key_Backspace:
        return Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Return;
    case Qt::Key_Shift:
        return Shift;
    case Qt::Key_Control:
        return Control;
    case Qt::Key_Alt:
        return Menu;
    case Qt::Key_Escape:
        return Escape;
    case Qt::Key_Space:
        return Space;
    case Qt::Key_PageUp:
        return Prior;
    case Qt::Key_PageDown:
        return Next;
    case Qt::Key_End:
        return End;
    case Qt::Key_Home:
        return Home;
    case Qt::Key_Left:
        return Left;
    case Qt::Key_Up:
        return Up;
    case Qt::Key_Right:
        return Right;
    case Qt::Key_Down:
        return Down;
    case Qt::Key_Insert:
        return Insert;
    case Qt::Key_Delete:
        return Delete;
    case Qt::Key_Comma:
        return 188;
    case Qt::Key_Minus:
        return 189;
    case Qt::Key_Period:
        return 190;
    default:
        break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return F1 + (key - Qt::Key_F1);
    }
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z)) {
        return key; // the same numbers as the virtual keys
    }
    // A letter of another alphabet: the key's place on a Latin layout is unknown here, and the
    // handlers only tell such keys from the navigation and function keys.
    return e->text().isEmpty() ? 0 : Qt::Key_A;
}

int ShiftState(Qt::KeyboardModifiers m)
{
    int s = 0;
    if (m & Qt::ShiftModifier) {
        s |= ShiftMask;
    }
    if (m & Qt::ControlModifier) {
        s |= CtrlMask;
    }
    if (m & Qt::AltModifier) {
        s |= AltMask;
    }
    return s;
}

int KeyAscii(const QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Return;
    case Qt::Key_Escape:
        return Escape;
    case Qt::Key_Backspace:
        return Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return -1;
    default:
        break;
    }
    const QString text = e->text();
    if (text.isEmpty()) {
        return -1;
    }
    return text.at(0).unicode();
}

Qt::Key QtKey(int keyCode)
{
    switch (keyCode) {
    case Return:
        return Qt::Key_Return;
    case Escape:
        return Qt::Key_Escape;
    case Prior:
        return Qt::Key_PageUp;
    case Next:
        return Qt::Key_PageDown;
    case End:
        return Qt::Key_End;
    case Home:
        return Qt::Key_Home;
    case Left:
        return Qt::Key_Left;
    case Up:
        return Qt::Key_Up;
    case Right:
        return Qt::Key_Right;
    case Down:
        return Qt::Key_Down;
    case Delete:
        return Qt::Key_Delete;
    case Space:
        return Qt::Key_Space;
    case Tab:
        return Qt::Key_Tab;
    case Back:
        return Qt::Key_Backspace;
    default:
        break;
    }
    if ((keyCode >= '0' && keyCode <= '9') || (keyCode >= 'A' && keyCode <= 'Z')) {
        return static_cast<Qt::Key>(keyCode);
    }
    if (keyCode >= F1 && keyCode < F1 + 24) {
        return static_cast<Qt::Key>(Qt::Key_F1 + (keyCode - F1));
    }
    return Qt::Key_unknown;
}

Qt::KeyboardModifiers QtModifiers(int shift)
{
    Qt::KeyboardModifiers m;
    if (shift & ShiftMask) {
        m |= Qt::ShiftModifier;
    }
    if (shift & CtrlMask) {
        m |= Qt::ControlModifier;
    }
    if (shift & AltMask) {
        m |= Qt::AltModifier;
    }
    return m;
}

bool IsNavigation(int keyCode)
{
    return keyCode >= Prior && keyCode <= Down;
}

} // namespace kvor::vk
