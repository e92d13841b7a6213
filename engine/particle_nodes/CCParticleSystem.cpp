#include "particle_nodes/CCParticleSystem.h"

#include "CCGL.h"
#include "gl/CCShaderCache.h"
#include "sprite_nodes/CCQuadRenderer.h"
#include "textures/CCTexture2D.h"

#include <ZqLog.h>
#include <ZqRandom.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace cocos2d {

namespace {

constexpr unsigned int kDefaultParticles = 150;

// A random number in [-1, 1].
float randomMinus1To1()
{
    return zqRandUnit() * 2.0f - 1.0f;
}

float degreesToRadians(float degrees)
{
    return degrees * std::numbers::pi_v<float> / 180.0f;
}

ccColor4F randomColor(const ccColor4F& base, const ccColor4F& spread)
{
    auto channel = [](float value, float var) { return std::clamp(value + var * randomMinus1To1(), 0.0f, 1.0f); };
    return ccColor4F{channel(base.r, spread.r), channel(base.g, spread.g), channel(base.b, spread.b),
                     channel(base.a, spread.a)};
}

} // namespace

CCParticleSystem* CCParticleSystem::create()
{
    CCParticleSystem* system = new CCParticleSystem();
    if (!system->init()) {
        system->release();
        return nullptr;
    }
    system->autorelease();
    return system;
}

CCParticleSystem::CCParticleSystem()
{
    m_tBlendFunc = ccBlendFunc{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
}

CCParticleSystem::~CCParticleSystem()
{
    CC_SAFE_RELEASE(m_pTexture);
}

bool CCParticleSystem::init()
{
    return initWithTotalParticles(kDefaultParticles);
}

bool CCParticleSystem::initWithTotalParticles(unsigned int numberOfParticles)
{
    if (numberOfParticles == 0 || numberOfParticles > kMaxParticles) {
        debugLog("[CCParticleSystem] initWithTotalParticles: %u particles is out of range (1..%u)",
                 numberOfParticles, kMaxParticles);
        return false;
    }
    if (!CCNode::init())
        return false;
    m_particles.clear();
    m_particles.reserve(numberOfParticles);
    m_uTotalParticles = numberOfParticles;
    m_bIsActive = true;
    m_fElapsed = 0.0f;
    m_fEmitCounter = 0.0f;
    m_fDuration = kCCParticleDurationInfinity;
    return true;
}

void CCParticleSystem::setEmitterMode(int mode)
{
    if (mode != kCCParticleModeGravity)
        debugLog("[CCParticleSystem] emitter mode %d is not supported; gravity mode kept", mode);
}

void CCParticleSystem::setTotalParticles(unsigned int total)
{
    total = std::min(total, kMaxParticles);
    m_uTotalParticles = total;
    if (m_particles.size() > total)
        m_particles.resize(total);
}

void CCParticleSystem::setTexture(CCTexture2D* texture)
{
    if (texture == m_pTexture)
        return;
    const bool additive = isBlendAdditive();
    CC_SAFE_RETAIN(texture);
    CC_SAFE_RELEASE(m_pTexture);
    m_pTexture = texture;
    setBlendAdditive(additive);
}

void CCParticleSystem::setBlendAdditive(bool additive)
{
    if (additive)
        m_tBlendFunc = ccBlendFunc{GL_SRC_ALPHA, GL_ONE};
    else if (m_pTexture && m_pTexture->hasPremultipliedAlpha())
        m_tBlendFunc = ccBlendFunc{GL_ONE, GL_ONE_MINUS_SRC_ALPHA};
    else
        m_tBlendFunc = ccBlendFunc{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
}

bool CCParticleSystem::isBlendAdditive() const
{
    return m_tBlendFunc.src == GL_SRC_ALPHA && m_tBlendFunc.dst == GL_ONE;
}

void CCParticleSystem::stopSystem()
{
    m_bIsActive = false;
    m_fElapsed = m_fDuration;
    m_fEmitCounter = 0.0f;
}

void CCParticleSystem::resetSystem()
{
    m_bIsActive = true;
    m_fElapsed = 0.0f;
    m_fEmitCounter = 0.0f;
    m_particles.clear();
}

CCPoint CCParticleSystem::currentReferencePoint() const
{
    switch (m_ePositionType) {
    case kCCPositionTypeFree:
        return convertToWorldSpace(CCPointZero);
    case kCCPositionTypeRelative:
        return m_obPosition;
    case kCCPositionTypeGrouped:
        break;
    }
    return CCPointZero;
}

CCPoint CCParticleSystem::drawPosition(const Particle& p, const CCPoint& reference) const
{
    // A particle born when the reference point was elsewhere is drawn back by the
    // distance it moved, so it stays put in that space.
    if (m_ePositionType == kCCPositionTypeGrouped)
        return p.pos;
    return p.pos - (reference - p.startPos);
}

void CCParticleSystem::addParticle()
{
    Particle p;
    p.timeToLive = std::max(0.0f, m_fLife + m_fLifeVar * randomMinus1To1());
    p.pos = CCPoint(m_tPosVar.x * randomMinus1To1(), m_tPosVar.y * randomMinus1To1());
    p.color = randomColor(m_tStartColor, m_tStartColorVar);
    const ccColor4F end = randomColor(m_tEndColor, m_tEndColorVar);
    const float startSize = std::max(0.0f, m_fStartSize + m_fStartSizeVar * randomMinus1To1());
    p.size = startSize;
    const float endSize = m_fEndSize == kCCParticleStartSizeEqualToEndSize
                              ? startSize
                              : std::max(0.0f, m_fEndSize + m_fEndSizeVar * randomMinus1To1());
    const float startSpin = m_fStartSpin + m_fStartSpinVar * randomMinus1To1();
    const float endSpin = m_fEndSpin + m_fEndSpinVar * randomMinus1To1();
    p.rotation = startSpin;
    // A zero life would divide by zero: such a particle keeps its start values and
    // goes at the next step.
    if (p.timeToLive > 0.0f) {
        const float inverseLife = 1.0f / p.timeToLive;
        p.deltaColor = ccColor4F{(end.r - p.color.r) * inverseLife, (end.g - p.color.g) * inverseLife,
                                 (end.b - p.color.b) * inverseLife, (end.a - p.color.a) * inverseLife};
        p.deltaSize = (endSize - startSize) * inverseLife;
        p.deltaRotation = (endSpin - startSpin) * inverseLife;
    }
    p.startPos = currentReferencePoint();
    const float angle = degreesToRadians(m_fAngle + m_fAngleVar * randomMinus1To1());
    const float speed = m_fSpeed + m_fSpeedVar * randomMinus1To1();
    p.dir = CCPoint(std::cos(angle), std::sin(angle)) * speed;
    p.radialAccel = m_fRadialAccel + m_fRadialAccelVar * randomMinus1To1();
    p.tangentialAccel = m_fTangentialAccel + m_fTangentialAccelVar * randomMinus1To1();
    m_particles.push_back(p);
}

void CCParticleSystem::update(float dt)
{
    if (m_bIsActive && m_fEmissionRate > 0.0f) {
        const float interval = 1.0f / m_fEmissionRate;
        if (m_particles.size() < m_uTotalParticles)
            m_fEmitCounter += dt;
        while (m_particles.size() < m_uTotalParticles && m_fEmitCounter > interval) {
            addParticle();
            m_fEmitCounter -= interval;
        }
        m_fElapsed += dt;
        if (m_fDuration != kCCParticleDurationInfinity && m_fDuration < m_fElapsed)
            stopSystem();
    }

    for (size_t i = 0; i < m_particles.size();) {
        Particle& p = m_particles[i];
        p.timeToLive -= dt;
        if (p.timeToLive <= 0.0f) {
            // Order does not matter: the last one takes the dead one's place.
            p = m_particles.back();
            m_particles.pop_back();
            continue;
        }
        CCPoint radial;
        if (p.pos.x != 0.0f || p.pos.y != 0.0f)
            radial = p.pos.normalize();
        const CCPoint tangential = CCPoint(-radial.y, radial.x) * p.tangentialAccel;
        const CCPoint acceleration = radial * p.radialAccel + tangential + m_tGravity;
        p.dir = p.dir + acceleration * dt;
        p.pos = p.pos + p.dir * dt;
        p.color.r += p.deltaColor.r * dt;
        p.color.g += p.deltaColor.g * dt;
        p.color.b += p.deltaColor.b * dt;
        p.color.a += p.deltaColor.a * dt;
        p.size = std::max(0.0f, p.size + p.deltaSize * dt);
        p.rotation += p.deltaRotation * dt;
        ++i;
    }
}

CCParticleSystemQuad* CCParticleSystemQuad::create()
{
    CCParticleSystemQuad* system = new CCParticleSystemQuad();
    if (!system->init()) {
        system->release();
        return nullptr;
    }
    system->autorelease();
    return system;
}

void CCParticleSystemQuad::draw()
{
    if (!m_pTexture || m_particles.empty())
        return;
    CCGLProgram* program = shaderProgramOr(kCCShader_PositionTextureColor);
    if (!program)
        return;
    const bool premultiply = m_pTexture->hasPremultipliedAlpha();
    CCQuadRenderer* renderer = CCQuadRenderer::sharedRenderer();
    const CCPoint reference = currentReferencePoint();
    for (const Particle& p : m_particles) {
        const CCPoint center = drawPosition(p, reference);
        const float half = p.size * 0.5f;
        // Spin is clockwise on screen.
        const float radians = -degreesToRadians(p.rotation);
        const float c = std::cos(radians);
        const float s = std::sin(radians);
        auto corner = [&](float x, float y) {
            return ccVertex3F{center.x + x * c - y * s, center.y + x * s + y * c, m_fVertexZ};
        };
        auto byte = [](float v) { return static_cast<GLubyte>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
        const float alpha = std::clamp(p.color.a, 0.0f, 1.0f);
        const float scale = premultiply ? alpha : 1.0f;
        const ccColor4B color{byte(p.color.r * scale), byte(p.color.g * scale), byte(p.color.b * scale), byte(alpha)};
        ccV3F_C4B_T2F_Quad quad;
        quad.bl = ccV3F_C4B_T2F{corner(-half, -half), color, ccTex2F{0.0f, 1.0f}};
        quad.br = ccV3F_C4B_T2F{corner(half, -half), color, ccTex2F{1.0f, 1.0f}};
        quad.tl = ccV3F_C4B_T2F{corner(-half, half), color, ccTex2F{0.0f, 0.0f}};
        quad.tr = ccV3F_C4B_T2F{corner(half, half), color, ccTex2F{1.0f, 0.0f}};
        renderer->addQuad(quad, m_pTexture->getName(), m_tBlendFunc, program);
    }
}

} // namespace cocos2d
