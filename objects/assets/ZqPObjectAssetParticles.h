#pragma once

#include "objects/assets/ZqPObjectAsset.h"

#include <memory>
#include <vector>

class ZqModelObjectParticles;
class ZqModelObjectParticlesEmitter;

// One engine particle system for each emitter model of a particles model. The systems never
// run from the scheduler: the object steps them in its own update, once a frame. Without a
// reference node they are the object's children, counter-scaled against the object's
// first ancestor that is not an animation object; under a reference node (the camera) they
// live in its space, at the object's field z order, moved to the emitters' positions
// every frame. A hidden object's systems emit nothing; live particles finish.
class ZqPObjectAssetParticles : public ZqPObjectAsset {
public:
    explicit ZqPObjectAssetParticles(const std::shared_ptr<ZqModelObjectParticles>& model);
    // Takes every system out of its parent.
    ~ZqPObjectAssetParticles() override;

    void update(float dt) override;
    void setVisible(bool visible) override;
    void setReferenceNode(cocos2d::CCNode* node) override;
    // Scales every channel of the four gradient colours.
    void setColorFactor(float factor) override;

    void resetSystems();
    void stopSystems();

    // The systems, in emitter order.
    std::vector<cocos2d::CCParticleSystemQuad*> systems() const;

private:
    struct Emitter {
        std::shared_ptr<ZqModelObjectParticlesEmitter> model;
        // Retained.
        cocos2d::CCParticleSystemQuad* system;
    };

    void createEmitter(const std::shared_ptr<ZqModelObjectParticlesEmitter>& model);
    void attachEmitter(const Emitter& emitter);
    void configureEmitter(const Emitter& emitter);
    void setColors(const Emitter& emitter, float factor);
    // The emitter's position in the reference node's space.
    void placeUnderReference(const Emitter& emitter);
    void counterScale();

    std::vector<Emitter> m_emitters;
    bool m_refreshZOrder = false;
};
