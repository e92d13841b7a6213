#pragma once

// The editor's key numbering, in which game data stores keys (bindings, a button's
// "Keyboard Key"): printable keys by their upper-case ASCII code, the others from
// 0x01000000 up. 0 is no key.
namespace ZqEditorKey {

enum : int {
    kNone = 0,
    kSpace = 0x20,
    kEscape = 0x01000000,
    kTab = 0x01000001,
    kBackspace = 0x01000003,
    kReturn = 0x01000004,
    kEnter = 0x01000005,
    kInsert = 0x01000006,
    kDelete = 0x01000007,
    kPause = 0x01000008,
    kPrint = 0x01000009,
    kHome = 0x01000010,
    kEnd = 0x01000011,
    kLeft = 0x01000012,
    kUp = 0x01000013,
    kRight = 0x01000014,
    kDown = 0x01000015,
    kPageUp = 0x01000016,
    kPageDown = 0x01000017,
    kShift = 0x01000020,
    kControl = 0x01000021,
    kAlt = 0x01000023,
    kCapsLock = 0x01000024,
    kF1 = 0x01000030,
    kF12 = 0x0100003B,
};

} // namespace ZqEditorKey
