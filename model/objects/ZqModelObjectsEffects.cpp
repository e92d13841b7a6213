#include "model/objects/ZqModelObjectsEffects.h"

#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "model/objects/ZqModelComponentsBehaviour.h"

#include <ZqNumeric.h>

using namespace cocos2d;

ZqBaseModelObjectLight::ZqBaseModelObjectLight(const std::string& name)
    : ZqBaseModelObjectOwnShape(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_LIGHT_ATTRIBUTES)
}

ZqBaseModelObjectLight::ZqBaseModelObjectLight(const ZqBaseModelObjectLight& source)
    : ZqBaseModelObjectOwnShape(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_LIGHT_ATTRIBUTES)
}

ZqModelObjectTrail::ZqModelObjectTrail(const std::string& name)
    : ZqModelObjectAsset(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_RIBBON_ATTRIBUTES)
}

ZqModelObjectTrail::ZqModelObjectTrail(const ZqModelObjectTrail& source)
    : ZqModelObjectAsset(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_RIBBON_ATTRIBUTES)
}

ZqModelObjectFlag::ZqModelObjectFlag(const std::string& name)
    : ZqBaseModelObjectOwnShape(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_RIBBON_ATTRIBUTES)
}

ZqModelObjectFlag::ZqModelObjectFlag(const ZqModelObjectFlag& source)
    : ZqBaseModelObjectOwnShape(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_RIBBON_ATTRIBUTES)
}

ZqModelObjectMirror::ZqModelObjectMirror(const std::string& name)
    : ZqBaseModelObjectOwnShape(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_MIRROR_ATTRIBUTES)
}

ZqModelObjectMirror::ZqModelObjectMirror(const ZqModelObjectMirror& source)
    : ZqBaseModelObjectOwnShape(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_MIRROR_ATTRIBUTES)
}

ZqBaseModelObjectParticles::ZqBaseModelObjectParticles(const std::string& name)
    : ZqModelObjectAsset(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_PARTICLES_ATTRIBUTES)
    m_emitters->setConnectionType(ZqBaseAttribute::kSource, true);
}

// A copied source port has no links: the copy starts without emitters.
ZqBaseModelObjectParticles::ZqBaseModelObjectParticles(const ZqBaseModelObjectParticles& source)
    : ZqModelObjectAsset(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_PARTICLES_ATTRIBUTES)
}

std::vector<std::shared_ptr<ZqModelObjectParticlesEmitter>> ZqBaseModelObjectParticles::emitters() const
{
    std::vector<std::shared_ptr<ZqModelObjectParticlesEmitter>> result;
    if (!m_emitters)
        return result;
    for (const std::shared_ptr<ZqModel>& model : m_emitters->emitterModels()) {
        if (std::shared_ptr<ZqModelObjectParticlesEmitter> emitter = modelCast<ZqModelObjectParticlesEmitter>(model))
            result.push_back(std::move(emitter));
    }
    return result;
}

void ZqBaseModelObjectParticles::addEmitter(ZqModelObjectParticlesEmitter& emitter)
{
    if (m_emitters && emitter.m_particlesPort)
        m_emitters->connect(emitter.m_particlesPort);
}

ZqModelObjectParticlesEmitter::ZqModelObjectParticlesEmitter(const std::string& name)
    : ZqModelObjectAsset(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_PARTICLES_EMITTER_ATTRIBUTES)
    m_particlesPort->setConnectionType(ZqBaseAttribute::kTarget, true);
}

ZqModelObjectParticlesEmitter::ZqModelObjectParticlesEmitter(const ZqModelObjectParticlesEmitter& source)
    : ZqModelObjectAsset(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_PARTICLES_EMITTER_ATTRIBUTES)
}

int ZqModelObjectParticlesEmitter::totalParticles() const
{
    return zqSaturatingInt(m_totalParticles->value());
}

namespace {

ccColor4F stopAt(const ZqAttributeGradient* gradient, float position)
{
    if (gradient) {
        const auto stop = gradient->stops().find(position);
        if (stop != gradient->stops().end())
            return stop->second;
    }
    return ccc4f(0.0f, 0.0f, 0.0f, 1.0f);
}

} // namespace

ccColor4F ZqModelObjectParticlesEmitter::colorAt(float position) const
{
    return stopAt(m_color, position);
}

ccColor4F ZqModelObjectParticlesEmitter::colorVariationAt(float position) const
{
    return stopAt(m_colorVariation, position);
}

int ZqModelObjectParticlesEmitter::positionType() const
{
    const std::string& type = m_positionType->value();
    if (type == "kCCPositionTypeRelative")
        return 1;
    if (type == "kCCPositionTypeGrouped")
        return 2;
    return 0;
}

ZqBaseModelObjectPath::ZqBaseModelObjectPath(const std::string& name)
    : ZqModelObjectAsset(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_PATH_ATTRIBUTES)
}

ZqBaseModelObjectPath::ZqBaseModelObjectPath(const ZqBaseModelObjectPath& source)
    : ZqModelObjectAsset(source), m_points(source.m_points)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_PATH_ATTRIBUTES)
}

void ZqBaseModelObjectPath::collectKeys() const
{
    ZqModelObjectAsset::collectKeys();
    keyNameSet().insert("points");
}

void ZqBaseModelObjectPath::packAttributes(MessagePackMap& map) const
{
    ZqModelObjectAsset::packAttributes(map);
    map.setPointArray("points", m_points);
}

void ZqBaseModelObjectPath::unpackAttributes(const MessagePackMap& map)
{
    ZqModelObjectAsset::unpackAttributes(map);
    std::vector<CCPoint> points;
    if (map.getPointArray("points", points))
        m_points = std::move(points);
}

int ZqBaseModelObjectPath::objectAssetId() const
{
    // The components' "Affected asset" holds an id in the same form.
    return zqAffectedAssetId(m_objectAsset->value());
}
