#include "objects/assets/ZqPObjectAssetParticles.h"

#include "ZqLog.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "model/scene/ZqModelMedia.h"
#include "objects/ZqPAnimationObject.h"

#include <algorithm>
#include <cmath>

using namespace cocos2d;

namespace {

ccColor4F scaled(const ccColor4F& color, float factor)
{
    return ccColor4F{color.r * factor, color.g * factor, color.b * factor, color.a * factor};
}

} // namespace

ZqPObjectAssetParticles::ZqPObjectAssetParticles(const std::shared_ptr<ZqModelObjectParticles>& model)
    : ZqPObjectAsset(model)
{
    setObjectType(kTypeEffect);
    setCollisionKind(0);
    setLinearMovement(true);
    if (!model)
        return;
    for (const std::shared_ptr<ZqModelObjectParticlesEmitter>& emitter : model->emitters())
        createEmitter(emitter);
}

ZqPObjectAssetParticles::~ZqPObjectAssetParticles()
{
    for (const Emitter& emitter : m_emitters) {
        emitter.system->removeFromParent();
        emitter.system->release();
    }
}

void ZqPObjectAssetParticles::createEmitter(const std::shared_ptr<ZqModelObjectParticlesEmitter>& model)
{
    const std::shared_ptr<ZqModelSpriteContainer>& texture = model->texture();
    if (!texture || !texture->textureAt(0))
        return;
    CCParticleSystemQuad* system = CCParticleSystemQuad::create();
    if (!system || !system->initWithTotalParticles(static_cast<unsigned int>(std::max(model->totalParticles(), 0)))) {
        debugLog("ZqPObjectAssetParticles::createEmitter - unable to init emitter");
        return;
    }
    system->setEmitterMode(kCCParticleModeGravity);
    system->setDuration(kCCParticleDurationInfinity);
    system->retain();
    m_emitters.push_back(Emitter{model, system});
    attachEmitter(m_emitters.back());
    configureEmitter(m_emitters.back());
}

void ZqPObjectAssetParticles::attachEmitter(const Emitter& emitter)
{
    emitter.system->removeFromParentAndCleanup(false);
    if (!referenceNode()) {
        addChild(emitter.system, getZOrder());
        emitter.system->setPosition(emitter.model->position(0.0f, 0));
        return;
    }
    m_refreshZOrder = true;
    referenceNode()->addChild(emitter.system, fieldZOrder());
}

void ZqPObjectAssetParticles::configureEmitter(const Emitter& emitter)
{
    const ZqModelObjectParticlesEmitter& model = *emitter.model;
    CCParticleSystemQuad* system = emitter.system;
    system->setTexture(model.texture()->textureAt(0));
    const unsigned int total = static_cast<unsigned int>(std::max(model.totalParticles(), 0));
    if (system->getTotalParticles() != total)
        system->setTotalParticles(total);
    system->setEmissionRate(model.emissionRate());
    system->setBlendAdditive(model.blendAdditive());
    system->setPosition(model.position(0.0f, 0));
    system->setPosVar(model.positionVariance());
    system->setRotation(model.rotation(0.0f, 0));
    system->setZOrder(model.zDepth());
    const CCPoint scale = model.scale(0.0f, 0);
    system->setScaleX(scale.x);
    system->setScaleY(scale.y);
    system->setStartSize(model.startSize());
    system->setStartSizeVar(model.startSizeVariance());
    system->setEndSize(model.endSize());
    system->setEndSizeVar(model.endSizeVariance());
    system->setStartSpin(model.startSpin());
    system->setStartSpinVar(model.startSpinVariance());
    system->setEndSpin(model.endSpin());
    system->setEndSpinVar(model.endSpinVariance());
    system->setGravity(model.gravity());
    system->setRadialAccel(model.radialAcceleration());
    system->setRadialAccelVar(model.radialAccelerationVariance());
    system->setSpeed(model.speed());
    system->setSpeedVar(model.speedVariance());
    system->setAngle(model.angle());
    system->setAngleVar(model.angleVariance());
    system->setLife(model.life());
    system->setLifeVar(model.lifeVariance());
    setColors(emitter, 1.0f);
    system->setPositionType(static_cast<tCCPositionType>(model.positionType()));
    system->setVisible(!model.isHidden());
}

void ZqPObjectAssetParticles::setColors(const Emitter& emitter, float factor)
{
    const ZqModelObjectParticlesEmitter& model = *emitter.model;
    emitter.system->setStartColor(scaled(model.colorAt(0.0f), factor));
    emitter.system->setEndColor(scaled(model.colorAt(1.0f), factor));
    emitter.system->setStartColorVar(scaled(model.colorVariationAt(0.0f), factor));
    emitter.system->setEndColorVar(scaled(model.colorVariationAt(1.0f), factor));
}

void ZqPObjectAssetParticles::setReferenceNode(CCNode* node)
{
    ZqPObjectAsset::setReferenceNode(node);
    for (const Emitter& emitter : m_emitters)
        attachEmitter(emitter);
}

void ZqPObjectAssetParticles::setVisible(bool visible)
{
    ZqPObjectAsset::setVisible(visible);
    if (!referenceNode())
        return;
    for (const Emitter& emitter : m_emitters) {
        placeUnderReference(emitter);
        emitter.system->setEmissionRate(visible ? emitter.model->emissionRate() : 0.0f);
        emitter.system->update(0.0f);
    }
}

void ZqPObjectAssetParticles::setColorFactor(float factor)
{
    ZqPObjectAsset::setColorFactor(factor);
    for (const Emitter& emitter : m_emitters)
        setColors(emitter, factor);
}

void ZqPObjectAssetParticles::resetSystems()
{
    for (const Emitter& emitter : m_emitters)
        emitter.system->resetSystem();
}

void ZqPObjectAssetParticles::stopSystems()
{
    for (const Emitter& emitter : m_emitters)
        emitter.system->stopSystem();
}

std::vector<CCParticleSystemQuad*> ZqPObjectAssetParticles::systems() const
{
    std::vector<CCParticleSystemQuad*> systems;
    for (const Emitter& emitter : m_emitters)
        systems.push_back(emitter.system);
    return systems;
}

void ZqPObjectAssetParticles::placeUnderReference(const Emitter& emitter)
{
    const CCPoint world = convertToWorldSpace(emitter.model->position(0.0f, 0));
    emitter.system->setPosition(referenceNode()->convertToNodeSpace(world));
}

// Keeps the particles at their authored size inside scaled animation frames. Parents
// scaled below 1 give 2 - m rather than 1 / m, which the data is tuned to.
void ZqPObjectAssetParticles::counterScale()
{
    CCNode* ancestor = getParent();
    while (ancestor && dynamic_cast<ZqPAnimationObject*>(ancestor))
        ancestor = ancestor->getParent();
    if (!ancestor)
        return;
    const float sx = ancestor->getScaleX();
    const float sy = ancestor->getScaleY();
    const float m = std::min(std::fabs(sx), std::fabs(sy));
    const float f = m >= 1.0f ? 1.0f / m : 2.0f - m;
    setScaleX(std::copysign(f, sx));
    setScaleY(std::copysign(f, sy));
}

void ZqPObjectAssetParticles::update(float dt)
{
    if (m_refreshZOrder) {
        m_refreshZOrder = false;
        const int z = fieldZOrder() - (getZOrder() == 0 ? 1 : 0);
        for (const Emitter& emitter : m_emitters)
            emitter.system->setZOrder(z);
    }
    if (!referenceNode())
        counterScale();
    ZqPObjectAsset::update(dt);
    if (!referenceNode())
        return;
    for (const Emitter& emitter : m_emitters) {
        placeUnderReference(emitter);
        emitter.system->update(dt);
    }
}
