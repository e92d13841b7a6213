#pragma once

#include "app/ZqSound.h"
#include "components/ZqComponent.h"

#include <box2d/box2d.h>

class ZqModelComponentSlide;
class ZqPAnimationObject;

// While a control is held (any control's press or a switch's switch-on, action 11, to a
// release or switch-off, 12, whoever sends it), the owner slides: its first fixture gives
// way to the model's "Collision Shape", its slide animation shows in place of the owner's
// own (an asset owner's state animation) and its own movement is suspended; the release
// restores the owner's own shape. A press that comes while the owner's movement is
// suspended takes effect once it resumes.
// Enabled is the sliding state.
class ZqComponentSlide : public ZqComponent {
public:
    ~ZqComponentSlide() override;

    void update(float dt) override;
    void setModel(const std::shared_ptr<ZqModelComponent>& model) override;
    void setOwner(ZqPObject* owner) override;
    void ownerStateChanged() override;

    bool isHeld() const { return m_held; }
    b2Fixture* slideFixture() const { return m_slideFixture; }

private:
    // Actions 11 and 12; the sender is not looked at.
    void start(cocos2d::CCObject* sender = nullptr);
    void end(cocos2d::CCObject* sender = nullptr);
    const ZqModelComponentSlide& slideModel() const;
    // The slide picture no longer stands in for the owner's look, and is hidden.
    void standDown(ZqPObject& owner);
    // A fixture of shape on the owner's body at the owner's scale; with ownFilter, an asset
    // owner's own collision filter, else the default one. Null without a body.
    b2Fixture* addFixture(const class ZqModelPolygon& shape, bool ownFilter);

    b2Fixture* m_slideFixture = nullptr;
    ZqPAnimationObject* m_animation = nullptr;
    bool m_held = false;
    ZqSoundHandle m_sound;
};
