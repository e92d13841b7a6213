#pragma once

#include "cocos2d.h"

#include <functional>
#include <memory>

class ZqBaseModelObjectButton;

// A button on an interface screen, made from a button model by create (the factory):
// its image, its selected image, its click and release sounds, its keyboard key and the
// handlers its screen binds. A touch reaches it through its own menu container (see
// ZqPButtonMenu); a key through the key registry (ZqPButtonKeys). Main thread only.
class ZqPObjectButton : public cocos2d::CCMenuItemSprite {
public:
    // What a press or a release tells: the button itself.
    using InputHandler = std::function<void(ZqPObjectButton* button)>;

    // The factory: a button of the model's kind, autoreleased, with setModel done and the
    // model's position, rotation and scale at time 0 applied. Null for a null model.
    static ZqPObjectButton* create(const std::shared_ptr<ZqBaseModelObjectButton>& model);

    // Leaves the key registry.
    ~ZqPObjectButton() override;

    // Keeps the model, carries it as the node's user object (ZqObjectModelHolder) and
    // binds its "Keyboard Key".
    virtual void setModel(const std::shared_ptr<ZqBaseModelObjectButton>& model);
    const std::shared_ptr<ZqBaseModelObjectButton>& model() const { return m_model; }

    // Only while enabled: the pressed look, "Click Sound" once and the press handler.
    void selected() override;
    // The released look and the release handler, while enabled or when it was pressed (a
    // button disabled while held still lets go of what it holds).
    void unselected() override;
    // While enabled: "Release Sound" once; each activation counts the model's "Interval"
    // down, and the menu handler (the screen's action) runs only when it is due.
    void activate() override;
    // Advances the animation clock and applies the model's animated placement and
    // opacity; a rising edge of "Touch Emulation" presses and releases the button once.
    void update(float dt) override;
    // Runs the animation from its start.
    void resetTime() { m_time = 0.0f; }
    void setCurveState(int state) { m_curveState = state; }
    // The animation clock (seconds) and curve state the model's values are read at.
    float time() const { return m_time; }
    int curveState() const { return m_curveState; }

    // The screen's input binding; replaces the handlers it had (binding twice keeps one).
    void setInputHandlers(InputHandler press, InputHandler release);

protected:
    ZqPObjectButton() = default;
    // Images from the model: its image and its selected image; a model without a usable
    // image gets an empty node of the model's size, so it still takes touches and keys.
    bool initWithModelImages(const std::shared_ptr<ZqBaseModelObjectButton>& model);

private:
    void applyPlacement();

    std::shared_ptr<ZqBaseModelObjectButton> m_model;
    InputHandler m_press;
    InputHandler m_release;
    float m_time = 0.0f;
    int m_curveState = 0;
    bool m_touchEmulated = false;
};
