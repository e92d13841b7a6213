#pragma once

#include "objects/assets/ZqPObjectAsset.h"

#include <cstdint>
#include <memory>
#include <string>

class ZqGameField;
class ZqModelAnimation;
class ZqModelObjectAssetPowerup;
class ZqPAnimationObject;

// A placed power-up: a coin or a pick-up that changes the game for a while. A character's
// touch takes it (state 1): it pays its coin and point rewards into the global and the
// current score record, shows the rising reward numbers, plays its start animation (on
// itself, in place of the character's own, or carried on the character) and start sound,
// flashes or shakes the field, and applies its "Powerup Type" for "Duration" seconds.
// Then (state 4) it undoes the effect, plays its end sound and goes (state 5), once its
// reward numbers are done when it shows both.
//
// Its body is a sensor that never moves by physics; without an idle animation it has none
// and cannot be taken. At most one effect power-up of a type runs: taking a second ends
// the first.
class ZqPObjectAssetPowerup : public ZqPObjectAsset {
public:
    // model's asset should be a power-up asset; without one it shows nothing and rewards
    // nothing.
    explicit ZqPObjectAssetPowerup(const std::shared_ptr<ZqModelObjectAssetPowerup>& model);
    // Ends a running effect and undoes the start animation's placement.
    ~ZqPObjectAssetPowerup() override;

    void update(float dt) override;
    void setVisible(bool visible) override;
    void setState(int state) override;
    // The idle animation's size at the object's scale, centred on the position in the
    // reference node's space.
    cocos2d::CCRect boundingRect() const override;
    void updateBoundingRect() override;
    void wakeUp() override;
    bool castsShadow() const override;
    // Taken power-ups keep moving with their activator.
    void setMovementActive(bool active) override;
    // Only with an idle animation; the fixture is a sensor.
    void createBody(ZqPhysicsWorld* world, bool lazy) override;
    // A live character (not a fired copy) takes the power-up at its next update.
    void beginContact(ZqPObject* other, b2Contact* contact, bool flag) override;

    bool isEffectActive() const { return m_effectRunning; }
    ZqPowerupType powerupType() const;
    // Whether other's "Powerup Type" is this one's (an unknown text is its own type).
    bool samePowerupType(const ZqPObjectAssetPowerup& other) const;
    ZqPObjectAsset* activator() const { return m_activator; }
    ZqPAnimationObject* idleAnimation() const { return m_idle; }
    ZqPAnimationObject* startAnimation() const { return m_start; }
    cocos2d::CCLabelBMFont* coinLabel() const { return m_coinLabel.label; }
    cocos2d::CCLabelBMFont* pointsLabel() const { return m_pointsLabel.label; }

    // Handlers: the activator reached state 5; the start animation ran through once.
    void onActivatorRemoved(ZqPObject* activator, ZqPObject* other);
    void onStartAnimationFinished();

private:
    // A rising reward number.
    struct RewardLabel {
        cocos2d::CCLabelBMFont* label = nullptr; // a child
        bool running = false;
        float time = 0.0f; // seconds
    };

    std::shared_ptr<ZqModelObjectAssetPowerup> powerupModel() const;
    ZqPAnimationObject* makeAnimation(const std::shared_ptr<ZqModelAnimation>& animation);
    void makeLabel(RewardLabel& label, int reward, bool shown);
    void updateLabel(RewardLabel& label, float dt);
    void updatePlacement();
    void setActivator(ZqPObjectAsset* activator);
    bool replacesCharacterAnimation() const;
    // The reverse of the start animation's placement on the activator.
    void undoStartPlacement();

    // Effects (ZqPObjectAssetPowerupEffects.cpp).
    void activate();
    void deactivate();
    void applyEffect(ZqGameField& field);
    void undoEffect(ZqGameField& field);

    ZqPAnimationObject* m_idle = nullptr; // retained
    ZqPAnimationObject* m_start = nullptr; // retained
    RewardLabel m_coinLabel;
    RewardLabel m_pointsLabel;
    bool m_characterConstrained = false;
    bool m_screenConstrained = false;
    // Acted on by the next update.
    bool m_nextCheckpointPending = false;
    bool m_endGamePending = false;
    float m_remaining = 0.0f; // seconds
    bool m_effectPowerup = false;
    bool m_effectRunning = false;
    // Not owned: subscribed to its removal.
    ZqPObjectAsset* m_activator = nullptr;
    // The start sound's serial while it plays; it frees itself when it ends, so a power-up
    // that goes lets it play on.
    uint64_t m_startSound = 0;
    // Centred on the origin; each power-up keeps its own.
    cocos2d::CCRect m_localBounds;
};
