#include "ZqKeyTables.h"

#include "attributes/ZqEditorKeys.h"

#include <array>
#include <utility>

namespace {

using namespace ZqEditorKey;

// Letters, digits and punctuation come in rows of their own: OIS numbers keys by their
// place on the keyboard, not by character.
constexpr std::pair<OIS::KeyCode, int> kOisKeys[] = {
    {OIS::KC_A, 'A'}, {OIS::KC_B, 'B'}, {OIS::KC_C, 'C'}, {OIS::KC_D, 'D'}, {OIS::KC_E, 'E'}, {OIS::KC_F, 'F'},
    {OIS::KC_G, 'G'}, {OIS::KC_H, 'H'}, {OIS::KC_I, 'I'}, {OIS::KC_J, 'J'}, {OIS::KC_K, 'K'}, {OIS::KC_L, 'L'},
    {OIS::KC_M, 'M'}, {OIS::KC_N, 'N'}, {OIS::KC_O, 'O'}, {OIS::KC_P, 'P'}, {OIS::KC_Q, 'Q'}, {OIS::KC_R, 'R'},
    {OIS::KC_S, 'S'}, {OIS::KC_T, 'T'}, {OIS::KC_U, 'U'}, {OIS::KC_V, 'V'}, {OIS::KC_W, 'W'}, {OIS::KC_X, 'X'},
    {OIS::KC_Y, 'Y'}, {OIS::KC_Z, 'Z'},
    {OIS::KC_0, '0'}, {OIS::KC_1, '1'}, {OIS::KC_2, '2'}, {OIS::KC_3, '3'}, {OIS::KC_4, '4'}, {OIS::KC_5, '5'},
    {OIS::KC_6, '6'}, {OIS::KC_7, '7'}, {OIS::KC_8, '8'}, {OIS::KC_9, '9'},
    {OIS::KC_F1, kF1 + 0}, {OIS::KC_F2, kF1 + 1}, {OIS::KC_F3, kF1 + 2}, {OIS::KC_F4, kF1 + 3},
    {OIS::KC_F5, kF1 + 4}, {OIS::KC_F6, kF1 + 5}, {OIS::KC_F7, kF1 + 6}, {OIS::KC_F8, kF1 + 7},
    {OIS::KC_F9, kF1 + 8}, {OIS::KC_F10, kF1 + 9}, {OIS::KC_F11, kF1 + 10}, {OIS::KC_F12, kF1 + 11},
    {OIS::KC_UP, kUp}, {OIS::KC_DOWN, kDown}, {OIS::KC_LEFT, kLeft}, {OIS::KC_RIGHT, kRight},
    {OIS::KC_ESCAPE, kEscape}, {OIS::KC_TAB, kTab}, {OIS::KC_BACK, kBackspace}, {OIS::KC_RETURN, kReturn},
    {OIS::KC_NUMPADENTER, kEnter},
    {OIS::KC_INSERT, kInsert}, {OIS::KC_DELETE, kDelete}, {OIS::KC_PAUSE, kPause}, {OIS::KC_SYSRQ, kPrint},
    {OIS::KC_HOME, kHome}, {OIS::KC_END, kEnd}, {OIS::KC_PGUP, kPageUp}, {OIS::KC_PGDOWN, kPageDown},
    {OIS::KC_LSHIFT, kShift}, {OIS::KC_RSHIFT, kShift}, {OIS::KC_LCONTROL, kControl}, {OIS::KC_RCONTROL, kControl},
    {OIS::KC_LMENU, kAlt}, {OIS::KC_RMENU, kAlt}, {OIS::KC_CAPITAL, kCapsLock},
    {OIS::KC_SPACE, kSpace},
    {OIS::KC_APOSTROPHE, '\''}, {OIS::KC_COMMA, ','}, {OIS::KC_MINUS, '-'}, {OIS::KC_PERIOD, '.'},
    {OIS::KC_SLASH, '/'}, {OIS::KC_SEMICOLON, ';'}, {OIS::KC_EQUALS, '='}, {OIS::KC_LBRACKET, '['},
    {OIS::KC_BACKSLASH, '\\'}, {OIS::KC_RBRACKET, ']'}, {OIS::KC_GRAVE, '`'},
};

// OIS key codes are below 256: one slot each.
constexpr std::array<int, 256> oisTable()
{
    std::array<int, 256> table{};
    for (const auto& [key, editor] : kOisKeys)
        table[static_cast<unsigned>(key)] = editor;
    return table;
}

constexpr std::array<int, 256> kOisTable = oisTable();

constexpr std::pair<SDL_Keycode, int> kSdlNamedKeys[] = {
    {SDLK_UP, kUp}, {SDLK_DOWN, kDown}, {SDLK_LEFT, kLeft}, {SDLK_RIGHT, kRight},
    {SDLK_ESCAPE, kEscape}, {SDLK_TAB, kTab}, {SDLK_BACKSPACE, kBackspace}, {SDLK_RETURN, kReturn},
    {SDLK_KP_ENTER, kEnter},
    {SDLK_INSERT, kInsert}, {SDLK_DELETE, kDelete}, {SDLK_PAUSE, kPause}, {SDLK_PRINTSCREEN, kPrint},
    {SDLK_HOME, kHome}, {SDLK_END, kEnd}, {SDLK_PAGEUP, kPageUp}, {SDLK_PAGEDOWN, kPageDown},
    {SDLK_LSHIFT, kShift}, {SDLK_RSHIFT, kShift}, {SDLK_LCTRL, kControl}, {SDLK_RCTRL, kControl},
    {SDLK_LALT, kAlt}, {SDLK_RALT, kAlt}, {SDLK_CAPSLOCK, kCapsLock},
    {SDLK_F1, kF1 + 0}, {SDLK_F2, kF1 + 1}, {SDLK_F3, kF1 + 2}, {SDLK_F4, kF1 + 3},
    {SDLK_F5, kF1 + 4}, {SDLK_F6, kF1 + 5}, {SDLK_F7, kF1 + 6}, {SDLK_F8, kF1 + 7},
    {SDLK_F9, kF1 + 8}, {SDLK_F10, kF1 + 9}, {SDLK_F11, kF1 + 10}, {SDLK_F12, kF1 + 11},
};

// SDL gives printable keys their character: the same ASCII codes as the editor's.
constexpr char kSdlPunctuation[] = " ',-./;=[\\]`";

} // namespace

int zqEditorKeyFromOis(OIS::KeyCode key)
{
    const auto index = static_cast<unsigned>(key);
    return index < kOisTable.size() ? kOisTable[index] : kNone;
}

int zqEditorKeyFromSdl(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return key;
    for (const char* c = kSdlPunctuation; *c; ++c) {
        if (key == *c)
            return key;
    }
    for (const auto& [sdl, editor] : kSdlNamedKeys) {
        if (key == sdl)
            return editor;
    }
    return kNone;
}
