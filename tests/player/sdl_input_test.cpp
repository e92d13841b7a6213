// The SDL road: SDL's key events and pads (SDL's virtual joysticks standing in) reaching
// the sink.
#include "ZqInputDevices.h"
#include "ZqSdlInput.h"

#include "player_test_support.h"

#include <gtest/gtest.h>

namespace {

SDL_Event keyEvent(Uint32 type, SDL_Keycode key, Uint8 repeat = 0)
{
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    event.key.repeat = repeat;
    return event;
}

TEST(SdlInput, KeysGoThroughTheKeyTableAndRepeatsAreDropped)
{
    RecordingSink sink;
    ZqSdlInput input(sink);
    EXPECT_TRUE(input.handleEvent(keyEvent(SDL_KEYDOWN, SDLK_z)));
    EXPECT_TRUE(input.handleEvent(keyEvent(SDL_KEYDOWN, SDLK_z, 1)));
    EXPECT_TRUE(input.handleEvent(keyEvent(SDL_KEYDOWN, SDLK_KP_5)));
    EXPECT_TRUE(input.handleEvent(keyEvent(SDL_KEYUP, SDLK_z)));
    EXPECT_TRUE(input.handleEvent(keyEvent(SDL_KEYDOWN, SDLK_RETURN)));
    SDL_Event other{};
    other.type = SDL_MOUSEMOTION;
    EXPECT_FALSE(input.handleEvent(other));
    EXPECT_EQ(sink.log, (std::vector<std::string>{"key+ 90", "key- 90", "key+ 16777220"}));
}

// SDL's virtual pads, opened by the road as they come; events are pumped into it.
class VirtualPads : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!sdl.ok())
            GTEST_SKIP() << "no SDL joystick subsystem: " << SDL_GetError();
        input.openPresentPads();
        pump();
        sink.log.clear();
    }
    void TearDown() override
    {
        for (int i = SDL_NumJoysticks() - 1; i >= 0; --i) {
            if (SDL_JoystickIsVirtual(i))
                SDL_JoystickDetachVirtual(i);
        }
        pump();
    }

    void pump()
    {
        SDL_Event event;
        SDL_PumpEvents();
        while (SDL_PollEvent(&event))
            input.handleEvent(event);
    }

    // Plugs in a pad; its instance id.
    SDL_JoystickID attach(bool gameController)
    {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = gameController ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_UNKNOWN;
        desc.naxes = 6;
        desc.nbuttons = 15;
        desc.nhats = gameController ? 0 : 1;
        desc.button_mask = 0x7FFF;
        desc.axis_mask = 0x3F;
        desc.name = gameController ? "zq virtual controller" : "zq virtual joystick";
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(index, 0) << SDL_GetError();
        const SDL_JoystickID pad = SDL_JoystickGetDeviceInstanceID(index);
        // Opened at the first pump; the next reports the axes' rest positions.
        pump();
        pump();
        sink.log.clear();
        return pad;
    }
    void detach(SDL_JoystickID pad)
    {
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == pad)
                SDL_JoystickDetachVirtual(i);
        }
        pump();
    }
    SDL_Joystick* joystick(SDL_JoystickID pad) { return SDL_JoystickFromInstanceID(pad); }
    std::string prefix(SDL_JoystickID pad) { return std::to_string(pad) + " "; }

    SdlSubsystems sdl{SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER};
    RecordingSink sink;
    ZqSdlInput input{sink};
};

TEST_F(VirtualPads, AGameControllersButtonsDpadAndLeftStick)
{
    const SDL_JoystickID pad = attach(true);
    ASSERT_EQ(input.padCount(), 1u);
    SDL_Joystick* js = joystick(pad);
    ASSERT_NE(js, nullptr);
    // The virtual controller's buttons follow SDL's order: A, B, X, ..., D-pad up 11,
    // down 12, left 13, right 14.
    for (int button : {0, 1, 2, 11, 14, 12, 13}) {
        SDL_JoystickSetVirtualButton(js, button, SDL_PRESSED);
        pump();
    }
    SDL_JoystickSetVirtualButton(js, 0, SDL_RELEASED);
    pump();
    SDL_JoystickSetVirtualAxis(js, 0, 16384);
    SDL_JoystickSetVirtualAxis(js, 1, -32768);
    SDL_JoystickSetVirtualAxis(js, 3, 20000);
    pump();
    const std::string p = prefix(pad);
    EXPECT_EQ(sink.log, (std::vector<std::string>{"button " + p + "0 +", "button " + p + "1 +", "button " + p + "12 +",
                                                  "button " + p + "13 +", "button " + p + "14 +",
                                                  "button " + p + "15 +", "button " + p + "0 -", "axis " + p + "0 0.50",
                                                  "axis " + p + "1 -1.00"}));
}

TEST_F(VirtualPads, AJoystickSDLDoesNotKnowGivesItsOwnNumbersAndHat)
{
    const SDL_JoystickID pad = attach(false);
    ASSERT_EQ(input.padCount(), 1u);
    SDL_Joystick* js = joystick(pad);
    ASSERT_NE(js, nullptr);
    SDL_JoystickSetVirtualButton(js, 5, SDL_PRESSED);
    SDL_JoystickSetVirtualHat(js, 0, SDL_HAT_LEFTUP);
    pump();
    SDL_JoystickSetVirtualHat(js, 0, SDL_HAT_DOWN);
    pump();
    SDL_JoystickSetVirtualAxis(js, 1, 32767);
    pump();
    const std::string p = prefix(pad);
    EXPECT_EQ(sink.log, (std::vector<std::string>{"button " + p + "5 +", "hat " + p + "0 9", "hat " + p + "0 4",
                                                  "axis " + p + "1 1.00"}));
}

TEST_F(VirtualPads, APadUnpluggedWhileHoldingIsRemoved)
{
    const SDL_JoystickID first = attach(true);
    const SDL_JoystickID second = attach(false);
    ASSERT_EQ(input.padCount(), 2u);
    SDL_JoystickSetVirtualButton(joystick(first), 0, SDL_PRESSED);
    pump();
    detach(first);
    EXPECT_EQ(input.padCount(), 1u);
    // SDL lets go of the held button, then the pad goes.
    EXPECT_EQ(sink.log, (std::vector<std::string>{"button " + prefix(first) + "0 +", "button " + prefix(first) + "0 -",
                                                  "removed " + std::to_string(first)}));
    detach(second);
    EXPECT_EQ(input.padCount(), 0u);
}

TEST(InputDevices, AWindowWithoutX11TakesTheSdlRoadAndTheViewSeesNoKey)
{
    SdlSubsystems sdl(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
    ASSERT_TRUE(sdl.ok()) << SDL_GetError();
    if (std::string(SDL_GetCurrentVideoDriver()) != "offscreen")
        GTEST_SKIP() << "needs SDL's offscreen driver";
    SDL_Window* window = SDL_CreateWindow("", 0, 0, 32, 32, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    EXPECT_EQ(ZqInputDevices::x11WindowId(window), "");
    RecordingSink sink;
    ZqInputDevices devices(sink);
    devices.attach(window);
    EXPECT_FALSE(devices.usesOis());
    EXPECT_TRUE(devices.handleEvent(keyEvent(SDL_KEYDOWN, SDLK_ESCAPE)));
    SDL_Event close{};
    close.type = SDL_QUIT;
    EXPECT_FALSE(devices.handleEvent(close));
    devices.capture();
    EXPECT_EQ(sink.log, std::vector<std::string>{"key+ 16777216"});
    SDL_DestroyWindow(window);
}

} // namespace
