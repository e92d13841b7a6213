#pragma once

#include "screens/buttons/ZqPObjectButton.h"

// The buttons of two states: the switch and the sound button.

// An on-screen toggle, made by the button factory for switch-button models. Each press
// flips it and tells the input controller's subscribers, whatever sender they filter on:
// switching on those of action 11, switching off those of 12, with the switch as the
// argument; a release tells nothing. It starts on; its state is kept per model for the run
// (ZqSwitchStates), so a switch built again for the same model continues from it. Its
// images do not change with its state. It runs neither the screen's press and release
// handlers nor a menu handler. Main thread only.
class ZqPObjectButtonSwitch : public ZqPObjectButton {
public:
    // The base's model, then the state stored for it, when there is one.
    void setModel(const std::shared_ptr<ZqBaseModelObjectButton>& model) override;
    // The pressed look; while enabled "Click Sound" once; then the toggle and its news.
    void selected() override;
    // The released look; while enabled "Release Sound" once.
    void unselected() override;
    void activate() override {}

    bool isOn() const { return m_on; }

    // Made by the button factory.
    ZqPObjectButtonSwitch() = default;

private:
    // The state stored for the model, when there is one.
    void readStoredState();

    bool m_on = true;
};

// The sound button, made by the button factory for sound-control models: its look says
// whether the game's sound is on. Sound on: its image, "Image Selected" while pressed.
// Sound off (music and effects both muted): "Image Selected", its image while pressed; a
// model without "Image Selected" shows its image dimmed. The press is the screen's
// (ZqPScreenUi mutes or unmutes and saves). Main thread only.
class ZqPObjectButtonSound : public ZqPObjectButton {
public:
    // The base's model, then the look of the sound's state.
    void setModel(const std::shared_ptr<ZqBaseModelObjectButton>& model) override;
    // Follows a change of the sound settings, made by this button or elsewhere; then the
    // base update.
    void update(float dt) override;

    bool isMutedShown() const { return m_mutedShown; }

    // Made by the button factory.
    ZqPObjectButtonSound() = default;

private:
    void applyLook();

    bool m_mutedShown = false;
};
