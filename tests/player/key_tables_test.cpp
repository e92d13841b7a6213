// Device key codes to the editor's key numbering, on the OIS and the SDL roads.
#include "ZqKeyTables.h"

#include "attributes/ZqEditorKeys.h"
#include "model/ZqModelGeneralSettings.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct KeyRow {
    OIS::KeyCode ois;
    SDL_Keycode sdl;
    int editor;
};

// Every key the table knows by name, and samples of the letter, digit and F-key runs.
const std::vector<KeyRow> kRows = {
    {OIS::KC_A, SDLK_a, 'A'}, {OIS::KC_J, SDLK_j, 'J'}, {OIS::KC_X, SDLK_x, 'X'}, {OIS::KC_Z, SDLK_z, 'Z'},
    {OIS::KC_0, SDLK_0, '0'}, {OIS::KC_1, SDLK_1, '1'}, {OIS::KC_9, SDLK_9, '9'},
    {OIS::KC_F1, SDLK_F1, 0x01000030}, {OIS::KC_F10, SDLK_F10, 0x01000039}, {OIS::KC_F12, SDLK_F12, 0x0100003B},
    {OIS::KC_UP, SDLK_UP, 0x01000013}, {OIS::KC_DOWN, SDLK_DOWN, 0x01000015},
    {OIS::KC_LEFT, SDLK_LEFT, 0x01000012}, {OIS::KC_RIGHT, SDLK_RIGHT, 0x01000014},
    {OIS::KC_ESCAPE, SDLK_ESCAPE, 0x01000000}, {OIS::KC_TAB, SDLK_TAB, 0x01000001},
    {OIS::KC_BACK, SDLK_BACKSPACE, 0x01000003}, {OIS::KC_RETURN, SDLK_RETURN, 0x01000004},
    {OIS::KC_NUMPADENTER, SDLK_KP_ENTER, 0x01000005},
    {OIS::KC_INSERT, SDLK_INSERT, 0x01000006}, {OIS::KC_DELETE, SDLK_DELETE, 0x01000007},
    {OIS::KC_PAUSE, SDLK_PAUSE, 0x01000008}, {OIS::KC_SYSRQ, SDLK_PRINTSCREEN, 0x01000009},
    {OIS::KC_HOME, SDLK_HOME, 0x01000010}, {OIS::KC_END, SDLK_END, 0x01000011},
    {OIS::KC_PGUP, SDLK_PAGEUP, 0x01000016}, {OIS::KC_PGDOWN, SDLK_PAGEDOWN, 0x01000017},
    {OIS::KC_LSHIFT, SDLK_LSHIFT, 0x01000020}, {OIS::KC_RSHIFT, SDLK_RSHIFT, 0x01000020},
    {OIS::KC_LCONTROL, SDLK_LCTRL, 0x01000021}, {OIS::KC_RCONTROL, SDLK_RCTRL, 0x01000021},
    {OIS::KC_LMENU, SDLK_LALT, 0x01000023}, {OIS::KC_RMENU, SDLK_RALT, 0x01000023},
    {OIS::KC_CAPITAL, SDLK_CAPSLOCK, 0x01000024}, {OIS::KC_SPACE, SDLK_SPACE, 0x20},
    {OIS::KC_APOSTROPHE, SDLK_QUOTE, 0x27}, {OIS::KC_COMMA, SDLK_COMMA, 0x2C}, {OIS::KC_MINUS, SDLK_MINUS, 0x2D},
    {OIS::KC_PERIOD, SDLK_PERIOD, 0x2E}, {OIS::KC_SLASH, SDLK_SLASH, 0x2F},
    {OIS::KC_SEMICOLON, SDLK_SEMICOLON, 0x3B}, {OIS::KC_EQUALS, SDLK_EQUALS, 0x3D},
    {OIS::KC_LBRACKET, SDLK_LEFTBRACKET, 0x5B}, {OIS::KC_BACKSLASH, SDLK_BACKSLASH, 0x5C},
    {OIS::KC_RBRACKET, SDLK_RIGHTBRACKET, 0x5D}, {OIS::KC_GRAVE, SDLK_BACKQUOTE, 0x60},
};

TEST(KeyTables, BothRoadsGiveTheEditorsCodes)
{
    for (const KeyRow& row : kRows) {
        EXPECT_EQ(zqEditorKeyFromOis(row.ois), row.editor) << "OIS " << row.ois;
        EXPECT_EQ(zqEditorKeyFromSdl(row.sdl), row.editor) << "SDL " << row.sdl;
    }
    // Whole runs: 26 letters, 10 digits, 12 F-keys on each road.
    int letters = 0;
    for (int code = 0; code < 256; ++code) {
        const int editor = zqEditorKeyFromOis(static_cast<OIS::KeyCode>(code));
        letters += editor >= 'A' && editor <= 'Z';
    }
    EXPECT_EQ(letters, 26);
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
        bool ois = false;
        for (int code = 0; code < 256; ++code)
            ois = ois || zqEditorKeyFromOis(static_cast<OIS::KeyCode>(code)) == binding;
        EXPECT_TRUE(ois) << binding;
        bool sdl = false;
        for (const KeyRow& row : kRows)
            sdl = sdl || (row.editor == binding && zqEditorKeyFromSdl(row.sdl) == binding);
        EXPECT_TRUE(sdl) << binding;
    }
}

TEST(KeyTables, OtherKeysAreNone)
{
    for (OIS::KeyCode key : {OIS::KC_UNASSIGNED, OIS::KC_NUMPAD5, OIS::KC_F13, OIS::KC_LWIN, OIS::KC_MEDIASELECT})
        EXPECT_EQ(zqEditorKeyFromOis(key), ZqEditorKey::kNone) << key;
    EXPECT_EQ(zqEditorKeyFromOis(static_cast<OIS::KeyCode>(0x1234)), ZqEditorKey::kNone);
    for (SDL_Keycode key : std::initializer_list<SDL_Keycode>{SDLK_UNKNOWN, SDLK_KP_5, SDLK_F13, SDLK_LGUI,
                                                              SDLK_EXCLAIM, SDLK_AMPERSAND, SDLK_UNDERSCORE, 0x100})
        EXPECT_EQ(zqEditorKeyFromSdl(key), ZqEditorKey::kNone) << key;
}

} // namespace
