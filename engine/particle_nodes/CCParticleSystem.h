#pragma once

#include "base/CCGeometry.h"
#include "base/ccTypes.h"
#include "nodes/CCNode.h"

#include <vector>

namespace cocos2d {

class CCTexture2D;

// Emits forever.
constexpr float kCCParticleDurationInfinity = -1.0f;
// As an end size: the particle keeps its start size.
constexpr float kCCParticleStartSizeEqualToEndSize = -1.0f;

enum { kCCParticleModeGravity = 0 };

// What live particles are drawn relative to when the emitter moves.
enum tCCPositionType {
    // Particles stay where they were emitted in the world.
    kCCPositionTypeFree = 0,
    // Particles follow the parent, not the emitter's own position.
    kCCPositionTypeRelative = 1,
    // Particles move with the emitter.
    kCCPositionTypeGrouped = 2,
};

// A particle system in gravity mode. Particles are born at the node's origin spread by
// posVar, fly at speed along angle (degrees, counter-clockwise from +x), pulled by
// gravity and by radial (away from the origin) and tangential acceleration (points
// per second squared), and turn from start to end size (points), spin (degrees,
// clockwise) and colour over their life (seconds). Each "Var" is the spread of its
// value: the value plus the spread times a random number in [-1, 1].
//
// The owner steps the system with update(dt): it never schedules itself. Random
// numbers come from zqRandUnit(). Emission runs emissionRate particles a second up to
// totalParticles alive, for duration seconds (or forever).
class CCParticleSystem : public CCNode {
public:
    // Autoreleased, 150 particles.
    static CCParticleSystem* create();

    CCParticleSystem();
    ~CCParticleSystem() override;

    bool init() override;
    // (Re)starts the system with room for n particles; false (logged) when n is 0 or
    // beyond kMaxParticles.
    virtual bool initWithTotalParticles(unsigned int numberOfParticles);
    static constexpr unsigned int kMaxParticles = 1u << 16;

    // Stops emitting; live particles live out their life.
    void stopSystem();
    // Removes every particle and emits again from time 0.
    void resetSystem();
    // Emitting (stopSystem, or the end of the duration, clears it).
    bool isActive() const { return m_bIsActive; }
    unsigned int getParticleCount() const { return static_cast<unsigned int>(m_particles.size()); }

    void update(float dt) override;

    // Only kCCParticleModeGravity (others logged and ignored).
    void setEmitterMode(int mode);
    int getEmitterMode() const { return kCCParticleModeGravity; }
    // Live particles beyond a smaller total are removed.
    void setTotalParticles(unsigned int total);
    unsigned int getTotalParticles() const { return m_uTotalParticles; }
    // Retained; null draws nothing.
    void setTexture(CCTexture2D* texture);
    CCTexture2D* getTexture() const { return m_pTexture; }
    // Additive: SRC_ALPHA, ONE; otherwise the texture's usual blending.
    void setBlendAdditive(bool additive);
    bool isBlendAdditive() const;
    void setBlendFunc(const ccBlendFunc& blendFunc) { m_tBlendFunc = blendFunc; }
    const ccBlendFunc& getBlendFunc() const { return m_tBlendFunc; }
    void setPositionType(tCCPositionType type) { m_ePositionType = type; }
    tCCPositionType getPositionType() const { return m_ePositionType; }

#define CC_PARTICLE_PROPERTY(type, name, member) \
    void set##name(type value) { member = value; } \
    type get##name() const { return member; }
    CC_PARTICLE_PROPERTY(float, Duration, m_fDuration)
    CC_PARTICLE_PROPERTY(float, EmissionRate, m_fEmissionRate)
    CC_PARTICLE_PROPERTY(const CCPoint&, PosVar, m_tPosVar)
    CC_PARTICLE_PROPERTY(float, Life, m_fLife)
    CC_PARTICLE_PROPERTY(float, LifeVar, m_fLifeVar)
    CC_PARTICLE_PROPERTY(float, Angle, m_fAngle)
    CC_PARTICLE_PROPERTY(float, AngleVar, m_fAngleVar)
    CC_PARTICLE_PROPERTY(float, Speed, m_fSpeed)
    CC_PARTICLE_PROPERTY(float, SpeedVar, m_fSpeedVar)
    CC_PARTICLE_PROPERTY(const CCPoint&, Gravity, m_tGravity)
    CC_PARTICLE_PROPERTY(float, RadialAccel, m_fRadialAccel)
    CC_PARTICLE_PROPERTY(float, RadialAccelVar, m_fRadialAccelVar)
    CC_PARTICLE_PROPERTY(float, TangentialAccel, m_fTangentialAccel)
    CC_PARTICLE_PROPERTY(float, TangentialAccelVar, m_fTangentialAccelVar)
    CC_PARTICLE_PROPERTY(float, StartSize, m_fStartSize)
    CC_PARTICLE_PROPERTY(float, StartSizeVar, m_fStartSizeVar)
    CC_PARTICLE_PROPERTY(float, EndSize, m_fEndSize)
    CC_PARTICLE_PROPERTY(float, EndSizeVar, m_fEndSizeVar)
    CC_PARTICLE_PROPERTY(float, StartSpin, m_fStartSpin)
    CC_PARTICLE_PROPERTY(float, StartSpinVar, m_fStartSpinVar)
    CC_PARTICLE_PROPERTY(float, EndSpin, m_fEndSpin)
    CC_PARTICLE_PROPERTY(float, EndSpinVar, m_fEndSpinVar)
    CC_PARTICLE_PROPERTY(const ccColor4F&, StartColor, m_tStartColor)
    CC_PARTICLE_PROPERTY(const ccColor4F&, StartColorVar, m_tStartColorVar)
    CC_PARTICLE_PROPERTY(const ccColor4F&, EndColor, m_tEndColor)
    CC_PARTICLE_PROPERTY(const ccColor4F&, EndColorVar, m_tEndColorVar)
#undef CC_PARTICLE_PROPERTY

protected:
    struct Particle {
        // Node space; startPos is the emitter's reference point at birth.
        CCPoint pos;
        CCPoint startPos;
        ccColor4F color;
        ccColor4F deltaColor;
        float size = 0.0f;
        float deltaSize = 0.0f;
        float rotation = 0.0f;
        float deltaRotation = 0.0f;
        float timeToLive = 0.0f;
        CCPoint dir;
        float radialAccel = 0.0f;
        float tangentialAccel = 0.0f;
    };

    void addParticle();
    // The emitter's reference point for the position type (world, parent or none).
    CCPoint currentReferencePoint() const;
    // Where particle p is drawn, node space, given currentReferencePoint().
    CCPoint drawPosition(const Particle& p, const CCPoint& reference) const;

    std::vector<Particle> m_particles;
    unsigned int m_uTotalParticles = 0;
    bool m_bIsActive = true;
    float m_fElapsed = 0.0f;
    float m_fEmitCounter = 0.0f;
    CCTexture2D* m_pTexture = nullptr;
    ccBlendFunc m_tBlendFunc;
    tCCPositionType m_ePositionType = kCCPositionTypeFree;

    float m_fDuration = kCCParticleDurationInfinity;
    float m_fEmissionRate = 0.0f;
    CCPoint m_tPosVar;
    float m_fLife = 0.0f;
    float m_fLifeVar = 0.0f;
    float m_fAngle = 0.0f;
    float m_fAngleVar = 0.0f;
    float m_fSpeed = 0.0f;
    float m_fSpeedVar = 0.0f;
    CCPoint m_tGravity;
    float m_fRadialAccel = 0.0f;
    float m_fRadialAccelVar = 0.0f;
    float m_fTangentialAccel = 0.0f;
    float m_fTangentialAccelVar = 0.0f;
    float m_fStartSize = 0.0f;
    float m_fStartSizeVar = 0.0f;
    float m_fEndSize = 0.0f;
    float m_fEndSizeVar = 0.0f;
    float m_fStartSpin = 0.0f;
    float m_fStartSpinVar = 0.0f;
    float m_fEndSpin = 0.0f;
    float m_fEndSpinVar = 0.0f;
    ccColor4F m_tStartColor;
    ccColor4F m_tStartColorVar;
    ccColor4F m_tEndColor;
    ccColor4F m_tEndColorVar;
};

// The particle system drawn as one textured quad a particle.
class CCParticleSystemQuad : public CCParticleSystem {
public:
    // Autoreleased, 150 particles.
    static CCParticleSystemQuad* create();

    void draw() override;
};

} // namespace cocos2d
