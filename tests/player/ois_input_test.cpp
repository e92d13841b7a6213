// OIS's joystick listener calls, as its devices make them, reaching the sink.
#include "ZqOisInput.h"

#include "player_test_support.h"

#include <ois/OISInputManager.h>

#include <gtest/gtest.h>

namespace {

// A joystick with an identity, for the events' device.
class FakeJoyStick : public OIS::JoyStick {
public:
    explicit FakeJoyStick(int id) : OIS::JoyStick("fake", true, id, nullptr) {}
    void setBuffered(bool) override {}
    void capture() override {}
    OIS::Interface* queryInterface(OIS::Interface::IType) override { return nullptr; }
    void _initialize() override {}
};

TEST(OisInput, JoystickButtonsAxesAndHatsCarryThePad)
{
    RecordingSink sink;
    ZqOisInput input(sink);
    FakeJoyStick pad(3);
    OIS::JoyStickState state;
    state.mAxes.resize(2);
    state.mAxes[0].abs = OIS::JoyStick::MAX_AXIS / 2;
    state.mAxes[1].abs = OIS::JoyStick::MIN_AXIS;
    state.mPOV[0].direction = OIS::Pov::NorthWest;
    const OIS::JoyStickEvent event(&pad, state);
    input.buttonPressed(event, 0);
    input.buttonReleased(event, 12);
    input.axisMoved(event, 0);
    input.axisMoved(event, 1);
    input.axisMoved(event, 2);
    input.povMoved(event, 0);
    input.povMoved(event, 1);
    EXPECT_EQ(sink.log, (std::vector<std::string>{"button 3 0 +", "button 3 12 -", "axis 3 0 0.50", "axis 3 1 -1.00",
                                                  "hat 3 0 9", "hat 3 1 0"}));
}

TEST(OisInput, NoInputSystemWithoutAnX11Window)
{
    RecordingSink sink;
    ZqOisInput input(sink);
    EXPECT_FALSE(input.create(""));
    EXPECT_FALSE(input.isCreated());
    input.requestRecreate();
    input.capture();
    EXPECT_TRUE(sink.log.empty());
}

} // namespace
