#pragma once

#include "attributes/ZqAttributeColor.h"
#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributePoint.h"
#include "attributes/ZqAttributeValue.h"
#include "model/ZqAttributeSprite.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqDataTokens.h"
#include "model/ZqModelRegistry.h"
#include "model/objects/ZqModelObjectsLogic.h"
#include "model/scene/ZqModelAssets.h"
#include "cocos2d.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// Visual-effect objects: light, flag, trail, mirror, particles with their emitters, and the
// path objects follow. Colours of lights and mirrors are on a 0 to 255 scale.

// Value-less attributes (ports, gradients) in the tables: nothing to store.
inline void zqStoreDefault(ZqAttribute&, std::nullptr_t) {}
inline void zqStoreDefault(ZqAttributeGradient&, std::nullptr_t) {}
inline void zqStoreDefault(ZqAttributeParticlesEmitters&, std::nullptr_t) {}

#define ZQ_MODEL_OBJECT_LIGHT_ATTRIBUTES(A, V)                                                     \
    V(ZqAttributeFloat, m_radius,     "Radius",      0.0f)                                         \
    V(ZqAttributeColor, m_color,      "Color",       cocos2d::ccc4f(255.0f, 255.0f, 255.0f, 255.0f)) \
    V(ZqAttributeBool,  m_castShadow, "Cast Shadow", false)

// A light source; starts white.
class ZqBaseModelObjectLight : public ZqBaseModelObjectOwnShape {
public:
    explicit ZqBaseModelObjectLight(const std::string& name);
    ZqBaseModelObjectLight(const ZqBaseModelObjectLight& source);

    // Physics metres.
    float radius() const { return m_radius->value(); }
    const cocos2d::ccColor4F& color() const { return m_color->value(); }
    bool isCastShadow() const { return m_castShadow->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_LIGHT_ATTRIBUTES)
};

class ZqModelObjectLight : public ZqBaseModelObjectLight {
public:
    using ZqBaseModelObjectLight::ZqBaseModelObjectLight;
    ZQ_MODEL_IDENTITY(ZqModelObjectLight, ZqModelObjectAsset)
    ZQ_MODEL_FACTORY(ZqModelObjectLight)
};

// The textured ribbon of trails and flags; widths and lengths in points.
#define ZQ_MODEL_OBJECT_RIBBON_ATTRIBUTES(A, V)                                                    \
    V(ZqAttributeSprite, m_texture,    "Texture",     nullptr)                                     \
    V(ZqAttributeFloat,  m_startWidth, "Start Width", 0.0f)                                        \
    V(ZqAttributeFloat,  m_endWidth,   "End Width",   0.0f)                                        \
    V(ZqAttributeFloat,  m_speed,      "Speed",       0.0f)                                        \
    V(ZqAttributeFloat,  m_length,     "Length",      0.0f)                                        \
    V(ZqAttributeFloat,  m_waveHeight, "Wave Height", 0.0f)                                        \
    V(ZqAttributeFloat,  m_waveLength, "Wave Length", 0.0f)

#define ZQ_MODEL_RIBBON_GETTERS                                                                    \
    const std::shared_ptr<ZqModelSpriteContainer>& texture() const { return m_texture->value(); } \
    float startWidth() const { return m_startWidth->value(); }                                     \
    float endWidth() const { return m_endWidth->value(); }                                         \
    float speed() const { return m_speed->value(); }                                               \
    float length() const { return m_length->value(); }                                             \
    float waveHeight() const { return m_waveHeight->value(); }                                     \
    float waveLength() const { return m_waveLength->value(); }

// A ribbon drawn behind a moving object.
class ZqModelObjectTrail : public ZqModelObjectAsset {
public:
    explicit ZqModelObjectTrail(const std::string& name);
    ZqModelObjectTrail(const ZqModelObjectTrail& source);
    ZQ_MODEL_IDENTITY(ZqModelObjectTrail, ZqModelObjectAsset)
    ZQ_MODEL_FACTORY(ZqModelObjectTrail)

    cocos2d::CCSize contentSize(float time) const override { return cocos2d::CCSize(60.0f, 60.0f); }
    ZQ_MODEL_RIBBON_GETTERS

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_RIBBON_ATTRIBUTES)
};

// A waving ribbon fixed at one end, with an outline of its own.
class ZqModelObjectFlag : public ZqBaseModelObjectOwnShape {
public:
    explicit ZqModelObjectFlag(const std::string& name);
    ZqModelObjectFlag(const ZqModelObjectFlag& source);
    ZQ_MODEL_IDENTITY(ZqModelObjectFlag, ZqModelObjectAsset)
    ZQ_MODEL_FACTORY(ZqModelObjectFlag)

    ZQ_MODEL_RIBBON_GETTERS

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_RIBBON_ATTRIBUTES)
};

#define ZQ_MODEL_OBJECT_MIRROR_ATTRIBUTES(A, V)                                                    \
    V(ZqAttributeColor, m_color, "Color", cocos2d::ccc4f(255.0f, 255.0f, 255.0f, 255.0f))

// A reflecting surface tinted by its colour; starts white.
class ZqModelObjectMirror : public ZqBaseModelObjectOwnShape {
public:
    explicit ZqModelObjectMirror(const std::string& name);
    ZqModelObjectMirror(const ZqModelObjectMirror& source);
    ZQ_MODEL_IDENTITY(ZqModelObjectMirror, ZqModelObjectAsset)
    ZQ_MODEL_FACTORY(ZqModelObjectMirror)

    const cocos2d::ccColor4F& color() const { return m_color->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_MIRROR_ATTRIBUTES)
};

class ZqModelObjectParticlesEmitter;

// "Emitters" is a source port; each emitter links its own target port "Emitters" to it,
// so the link is written in the emitter's connections map as a plain link entry
// {"connectedModelId": particle model id, "attributeName": "Emitters"}.
#define ZQ_MODEL_OBJECT_PARTICLES_ATTRIBUTES(A, V)                                                 \
    V(ZqAttributeParticlesEmitters, m_emitters, "Emitters", nullptr)

// A particle system: the emitters linked to its "Emitters" port, in link order.
class ZqBaseModelObjectParticles : public ZqModelObjectAsset {
public:
    explicit ZqBaseModelObjectParticles(const std::string& name);
    ZqBaseModelObjectParticles(const ZqBaseModelObjectParticles& source);

    cocos2d::CCSize contentSize(float time) const override { return cocos2d::CCSize(60.0f, 60.0f); }

    // The linked models that are exactly emitters, each once.
    std::vector<std::shared_ptr<ZqModelObjectParticlesEmitter>> emitters() const;
    // Links the emitter's port to "Emitters" (it leaves any other particle model).
    void addEmitter(ZqModelObjectParticlesEmitter& emitter);

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_PARTICLES_ATTRIBUTES)
};

class ZqModelObjectParticles : public ZqBaseModelObjectParticles {
public:
    using ZqBaseModelObjectParticles::ZqBaseModelObjectParticles;
    ZQ_MODEL_IDENTITY(ZqModelObjectParticles, ZqModelObjectAsset)
    ZQ_MODEL_FACTORY(ZqModelObjectParticles)
};

// Spreads of the floats are their variable values; "Total Particles" is a count kept as
// a float. "Emitters" is the target port linked to a particle model (see above).
#define ZQ_MODEL_OBJECT_PARTICLES_EMITTER_ATTRIBUTES(A, V)                                         \
    V(ZqAttributeSprite,     m_texture,             "Texture",             nullptr)                \
    V(ZqAttributeFloat,      m_totalParticles,      "Total Particles",     0.0f)                   \
    V(ZqAttributeFloat,      m_emissionRate,        "Emission Rate",       0.0f)                   \
    V(ZqAttributeBool,       m_blendAdditive,       "Blend Additive",      false)                  \
    V(ZqAttributeFloat,      m_startSize,           "Start Size",          0.0f)                   \
    V(ZqAttributeFloat,      m_endSize,             "End Size",            0.0f)                   \
    V(ZqAttributeFloat,      m_startSpin,           "Start Spin",          0.0f)                   \
    V(ZqAttributeFloat,      m_endSpin,             "End Spin",            0.0f)                   \
    V(ZqAttributePoint,      m_gravity,             "Gravity",             cocos2d::CCPoint())     \
    V(ZqAttributeFloat,      m_radialAcceleration,  "Radial Acceleration", 0.0f)                   \
    V(ZqAttributeFloat,      m_speed,               "Speed",               0.0f)                   \
    V(ZqAttributeFloat,      m_angle,               "Angle",               0.0f)                   \
    V(ZqAttributeFloat,      m_life,                "Life",                0.0f)                   \
    V(ZqAttributeGradient,   m_color,               "Color",               nullptr)                \
    V(ZqAttributeGradient,   m_colorVariation,      "Color Variation",     nullptr)                \
    V(ZqAttributeStringList, m_positionType,        "Position Type",       "")                     \
    V(ZqAttribute,           m_particlesPort,       "Emitters",            nullptr)

// One emitter of a particle system.
class ZqModelObjectParticlesEmitter : public ZqModelObjectAsset {
public:
    explicit ZqModelObjectParticlesEmitter(const std::string& name);
    // The copy's port joins the source's particle model.
    ZqModelObjectParticlesEmitter(const ZqModelObjectParticlesEmitter& source);
    ZQ_MODEL_IDENTITY(ZqModelObjectParticlesEmitter, ZqModelObjectAsset)
    ZQ_MODEL_FACTORY(ZqModelObjectParticlesEmitter)

    cocos2d::CCSize contentSize(float time) const override { return cocos2d::CCSize(30.0f, 30.0f); }

    const std::shared_ptr<ZqModelSpriteContainer>& texture() const { return m_texture->value(); }
    // Truncated toward zero (saturating).
    int totalParticles() const;
    float emissionRate() const { return m_emissionRate->value(); }
    bool blendAdditive() const { return m_blendAdditive->value(); }
    const cocos2d::CCPoint& gravity() const { return m_gravity->value(); }
    // Each value with its spread.
    float startSize() const { return m_startSize->value(); }
    float startSizeVariance() const { return m_startSize->variableValue(); }
    float endSize() const { return m_endSize->value(); }
    float endSizeVariance() const { return m_endSize->variableValue(); }
    float startSpin() const { return m_startSpin->value(); }
    float startSpinVariance() const { return m_startSpin->variableValue(); }
    float endSpin() const { return m_endSpin->value(); }
    float endSpinVariance() const { return m_endSpin->variableValue(); }
    float radialAcceleration() const { return m_radialAcceleration->value(); }
    float radialAccelerationVariance() const { return m_radialAcceleration->variableValue(); }
    float speed() const { return m_speed->value(); }
    float speedVariance() const { return m_speed->variableValue(); }
    float angle() const { return m_angle->value(); }
    float angleVariance() const { return m_angle->variableValue(); }
    float life() const { return m_life->value(); }
    float lifeVariance() const { return m_life->variableValue(); }
    // The colour of the stop at exactly position; opaque black without one.
    cocos2d::ccColor4F colorAt(float position) const;
    cocos2d::ccColor4F colorVariationAt(float position) const;
    // 1 "kCCPositionTypeRelative", 2 "kCCPositionTypeGrouped", else 0 (free).
    int positionType() const;

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_PARTICLES_EMITTER_ATTRIBUTES)
};

// The points are stored as a polygon stores its outline: a plain entry "points" in the
// model's attributes map, an array of [x, y] floats, relative to the path's position.
// Unlike a polygon's, a path keeps every point.
#define ZQ_MODEL_OBJECT_PATH_ATTRIBUTES(A, V)                                                      \
    V(ZqAttributeFloat,      m_searchRadius,    "Search Radius",    50.0f)                         \
    V(ZqAttributeFloat,      m_speed,           "Speed",            50.0f)                         \
    A(ZqAttributeFloat,      m_attractionForce, "Attraction Force", 50.0f, 0.0f, 100.0f)           \
    V(ZqAttributeBool,       m_keepVelocity,    "Keep Velocity",    true)                          \
    V(ZqAttributeBool,       m_imageDirection,  "Image Direction",  false)                         \
    V(ZqAttributePathPlayMode, m_playMode,      "Play Mode",        "")                            \
    V(ZqAttributePathAffected, m_affectedAsset, "Affected Asset",   "")                            \
    V(ZqAttributeString,     m_objectAsset,     "Object Asset",     "")                            \
    V(ZqAttributeImageTransition, m_imageTransition, "Image Transition", "")

// A path that pulls objects near it along its points.
class ZqBaseModelObjectPath : public ZqModelObjectAsset {
public:
    explicit ZqBaseModelObjectPath(const std::string& name);
    ZqBaseModelObjectPath(const ZqBaseModelObjectPath& source);

    void collectKeys() const override;
    void packAttributes(MessagePackMap& map) const override;
    // The object's entries, then "points" when present; a value of the wrong shape
    // throws msgpack::type_error.
    void unpackAttributes(const MessagePackMap& map) override;
    cocos2d::CCSize contentSize(float time) const override { return cocos2d::CCSize(30.0f, 30.0f); }

    const std::vector<cocos2d::CCPoint>& points() const { return m_points; }
    void addPoint(const cocos2d::CCPoint& point) { m_points.push_back(point); }
    void removeAllPoints() { m_points.clear(); }

    // Points.
    float searchRadius() const { return m_searchRadius->value(); }
    float speed() const { return m_speed->value(); }
    // 0 to 100.
    float attractionForce() const { return m_attractionForce->value(); }
    bool keepVelocity() const { return m_keepVelocity->value(); }
    bool imageDirection() const { return m_imageDirection->value(); }
    ZqPathPlayMode playMode() const { return m_playMode->code(); }
    ZqPathAffected affectedAsset() const { return m_affectedAsset->code(); }
    ZqImageTransition imageTransition() const { return m_imageTransition->code(); }
    // The model id of "Object Asset"; negative for any asset, 0 when the text is not a
    // number.
    int objectAssetId() const;

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_PATH_ATTRIBUTES)

private:
    std::vector<cocos2d::CCPoint> m_points;
};

class ZqModelObjectPath : public ZqBaseModelObjectPath {
public:
    using ZqBaseModelObjectPath::ZqBaseModelObjectPath;
    ZQ_MODEL_IDENTITY(ZqModelObjectPath, ZqModelObjectAsset)
    ZQ_MODEL_FACTORY(ZqModelObjectPath)
};
