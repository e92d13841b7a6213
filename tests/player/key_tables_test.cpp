// SDL key codes to the editor's key numbering.
#include "ZqKeyTables.h"

#include "attributes/ZqEditorKeys.h"
#include "model/ZqModelGeneralSettings.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct KeyRow {
    SDL_Keycode sdl;
    int editor;
};

// Every key the table knows by name, and samples of the letter, digit and F-key runs.
const std::vector<KeyRow> kRows = {
    {SDLK_a, 'A'}, {SDLK_j, 'J'}, {SDLK_x, 'X'}, {SDLK_z, 'Z'},
    {SDLK_0, '0'}, {SDLK_1, '1'}, {SDLK_9, '9'},
    {SDLK_F1, 0x01000030}, {SDLK_F10, 0x01000039}, {SDLK_F12, 0x0100003B},
    {SDLK_UP, 0x01000013}, {SDLK_DOWN, 0x01000015},
    {SDLK_LEFT, 0x01000012}, {SDLK_RIGHT, 0x01000014},
    {SDLK_ESCAPE, 0x01000000}, {SDLK_TAB, 0x01000001},
    {SDLK_BACKSPACE, 0x01000003}, {SDLK_RETURN, 0x01000004},
    {SDLK_KP_ENTER, 0x01000005},
    {SDLK_INSERT, 0x01000006}, {SDLK_DELETE, 0x01000007},
    {SDLK_PAUSE, 0x01000008}, {SDLK_PRINTSCREEN, 0x01000009},
    {SDLK_HOME, 0x01000010}, {SDLK_END, 0x01000011},
    {SDLK_PAGEUP, 0x01000016}, {SDLK_PAGEDOWN, 0x01000017},
    {SDLK_LSHIFT, 0x01000020}, {SDLK_RSHIFT, 0x01000020},
    {SDLK_LCTRL, 0x01000021}, {SDLK_RCTRL, 0x01000021},
    {SDLK_LALT, 0x01000023}, {SDLK_RALT, 0x01000023},
    {SDLK_CAPSLOCK, 0x01000024}, {SDLK_SPACE, 0x20},
    {SDLK_QUOTE, 0x27}, {SDLK_COMMA, 0x2C}, {SDLK_MINUS, 0x2D},
    {SDLK_PERIOD, 0x2E}, {SDLK_SLASH, 0x2F},
    {SDLK_SEMICOLON, 0x3B}, {SDLK_EQUALS, 0x3D},
    {SDLK_LEFTBRACKET, 0x5B}, {SDLK_BACKSLASH, 0x5C},
    {SDLK_RIGHTBRACKET, 0x5D}, {SDLK_BACKQUOTE, 0x60},
};

TEST(KeyTables, KeysGiveTheEditorsCodes)
{
    for (const KeyRow& row : kRows)
        EXPECT_EQ(zqEditorKeyFromSdl(row.sdl), row.editor) << "SDL " << row.sdl;
    for (SDL_Keycode key = SDLK_a; key <= SDLK_z; ++key)
        EXPECT_EQ(zqEditorKeyFromSdl(key), 'A' + (key - SDLK_a));
}

TEST(KeyTables, EveryDefaultBindingIsReachable)
{
    const auto settings = ZqModelGeneralSettings::createDetached();
    const int bindings[] = {settings->moveUpKey(),     settings->moveDownKey(),    settings->moveLeftKey(),
                            settings->moveRightKey(),  settings->motorCWKey(),     settings->motorCCWKey(),
                            settings->rotateLeftKey(), settings->rotateRightKey(), settings->shootKey(),
                            settings->jumpKey()};
    for (int binding : bindings) {
        bool sdl = false;
        for (const KeyRow& row : kRows)
            sdl = sdl || (row.editor == binding && zqEditorKeyFromSdl(row.sdl) == binding);
        EXPECT_TRUE(sdl) << binding;
    }
}

TEST(KeyTables, OtherKeysAreNone)
{
    for (SDL_Keycode key : std::initializer_list<SDL_Keycode>{SDLK_UNKNOWN, SDLK_KP_5, SDLK_F13, SDLK_LGUI,
                                                              SDLK_EXCLAIM, SDLK_AMPERSAND, SDLK_UNDERSCORE, 0x100})
        EXPECT_EQ(zqEditorKeyFromSdl(key), ZqEditorKey::kNone) << key;
}

} // namespace
