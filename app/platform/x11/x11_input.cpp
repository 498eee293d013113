// The default saver procedure on X11: which input closes the saver in which
// mode, and the keysym to virtual-key mapping the core's key handler reads.
// The saver window's own event dispatch and the loop are in x11_saver.cpp.
#include "x11_backend.h"

#include <X11/keysym.h>

#include <cstdlib>

namespace {
// More than this many pixels (horizontal plus vertical distance) from the
// reference position counts as the user moving the mouse.
constexpr int kMouseMoveTolerance = 4;

// Windows virtual-key codes for the keys that have one.
constexpr unsigned kVkBack = 0x08, kVkTab = 0x09, kVkReturn = 0x0D, kVkShift = 0x10,
                   kVkControl = 0x11, kVkMenu = 0x12, kVkPause = 0x13, kVkCapital = 0x14,
                   kVkEscape = 0x1B, kVkSpace = 0x20, kVkPrior = 0x21, kVkNext = 0x22,
                   kVkEnd = 0x23, kVkHome = 0x24, kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27,
                   kVkDown = 0x28, kVkSnapshot = 0x2C, kVkInsert = 0x2D, kVkDelete = 0x2E,
                   kVkDigit0 = 0x30, kVkLetterA = 0x41, kVkLeftWin = 0x5B, kVkRightWin = 0x5C,
                   kVkApps = 0x5D, kVkNumpad0 = 0x60, kVkF1 = 0x70, kVkNumLock = 0x90,
                   kVkScroll = 0x91;
// Any key without a code of its own: a code that none of the saver's keys use.
constexpr unsigned kVkUnassigned = 0xFF;
constexpr int kFunctionKeyCount = 24;

struct KeysymCode {
    unsigned long keysym;
    unsigned code;
};

constexpr KeysymCode kNamedKeys[] = {
    {XK_BackSpace, kVkBack},   {XK_Tab, kVkTab},          {XK_ISO_Left_Tab, kVkTab},
    {XK_Return, kVkReturn},    {XK_KP_Enter, kVkReturn},  {XK_Shift_L, kVkShift},
    {XK_Shift_R, kVkShift},    {XK_Control_L, kVkControl}, {XK_Control_R, kVkControl},
    {XK_Alt_L, kVkMenu},       {XK_Alt_R, kVkMenu},       {XK_Meta_L, kVkMenu},
    {XK_Meta_R, kVkMenu},      {XK_Pause, kVkPause},      {XK_Caps_Lock, kVkCapital},
    {XK_Escape, kVkEscape},    {XK_space, kVkSpace},      {XK_Prior, kVkPrior},
    {XK_Next, kVkNext},        {XK_End, kVkEnd},          {XK_Home, kVkHome},
    {XK_Left, kVkLeft},        {XK_Up, kVkUp},            {XK_Right, kVkRight},
    {XK_Down, kVkDown},        {XK_Print, kVkSnapshot},   {XK_Insert, kVkInsert},
    {XK_Delete, kVkDelete},    {XK_Super_L, kVkLeftWin},  {XK_Super_R, kVkRightWin},
    {XK_Menu, kVkApps},        {XK_Num_Lock, kVkNumLock}, {XK_Scroll_Lock, kVkScroll},
};

bool MovedPastTolerance(int rootX, int rootY) {
    return abs(rootX - x11Saver.referenceX) + abs(rootY - x11Saver.referenceY) >
           kMouseMoveTolerance;
}

// A focus change the user caused (not one that a grab caused, and not focus
// moving between the saver window and its own child).
bool IsFocusLoss(const XFocusChangeEvent& focus) {
    if (focus.window != x11Saver.saverWindow) return false;
    if (focus.mode == NotifyGrab || focus.mode == NotifyUngrab) return false;
    return focus.detail != NotifyInferior && focus.detail != NotifyPointer;
}

bool IsClickButton(unsigned button) {
    return button == Button1 || button == Button2 || button == Button3;
}
}  // namespace

unsigned VirtualKeyFromKeysym(unsigned long keysym) {
    if (keysym >= XK_a && keysym <= XK_z) return kVkLetterA + static_cast<unsigned>(keysym - XK_a);
    if (keysym >= XK_A && keysym <= XK_Z) return kVkLetterA + static_cast<unsigned>(keysym - XK_A);
    if (keysym >= XK_0 && keysym <= XK_9) return kVkDigit0 + static_cast<unsigned>(keysym - XK_0);
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
        return kVkNumpad0 + static_cast<unsigned>(keysym - XK_KP_0);
    if (keysym >= XK_F1 && keysym < XK_F1 + kFunctionKeyCount)
        return kVkF1 + static_cast<unsigned>(keysym - XK_F1);
    for (const KeysymCode& key : kNamedKeys)
        if (key.keysym == keysym) return key.code;
    return kVkUnassigned;
}

void DefaultSaverEvent(const XEvent& event) {
    switch (x11Saver.mode) {
    case SaverMode::FullScreen:
        switch (event.type) {
        case KeyPress:
            CloseSaver();
            break;
        case ButtonPress:
            if (IsClickButton(event.xbutton.button)) CloseSaver();
            break;
        case MotionNotify:
            if (MovedPastTolerance(event.xmotion.x_root, event.xmotion.y_root)) CloseSaver();
            break;
        case FocusOut:
            if (IsFocusLoss(event.xfocus)) CloseSaver();
            break;
        default:
            break;
        }
        break;
    case SaverMode::Windowed:
        if (event.type == KeyPress) CloseSaver();
        if (event.type == ClientMessage && event.xclient.message_type == x11Saver.wmProtocols &&
            static_cast<Atom>(event.xclient.data.l[0]) == x11Saver.wmDeleteWindow)
            CloseSaver();
        break;
    default:
        // Preview and hosted savers close on nothing the user does in them.
        break;
    }
}
