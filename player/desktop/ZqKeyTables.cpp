#include "ZqKeyTables.h"

#include "attributes/ZqEditorKeys.h"

#include <utility>

namespace {

using namespace ZqEditorKey;

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
