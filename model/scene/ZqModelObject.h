#pragma once

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributePoint.h"
#include "model/ZqAttributeSprite.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqModelRegistry.h"
#include "model/scene/ZqModelCompound.h"
#include "cocos2d.h"

#include <memory>
#include <string>

class ZqModelPolygon;
class ZqModelSpriteContainer;

#define ZQ_MODEL_OBJECT_ATTRIBUTES(A, V)                                                           \
    V(ZqAttributePoint, m_position, "Position", cocos2d::CCPoint(0.0f, 0.0f))                      \
    V(ZqAttributeFloat, m_rotation, "Rotation", 0.0f)                                              \
    V(ZqAttributePoint, m_scale,    "Scale",    cocos2d::CCPoint(1.0f, 1.0f))                      \
    V(ZqAttributeFloat, m_opacity,  "Opacity",  1.0f)                                              \
    V(ZqAttributeInt,   m_zDepth,   "Z Depth",  0)                                                 \
    V(ZqAttributeBool,  m_hidden,   "Hidden",   false)

// Base of every placeable object: position, rotation (degrees), scale, opacity (a fraction,
// 0 to 1 once the runtime clamps it), depth and visibility, each animated per state by
// curves. Runtime objects keep the running time (seconds) and the state number and ask
// for the values at (time, state); a state without a curve gives the plain value.
// Models loaded from data always hold the six attributes; a copy whose clone is missing
// or of another class has a null member and must not be used.
class ZqBaseModelObject : public ZqModelCompound {
public:
    explicit ZqBaseModelObject(const std::string& name);
    ZqBaseModelObject(const ZqBaseModelObject& source);

    // The picture of the object; empty here.
    virtual std::shared_ptr<ZqModelSpriteContainer> spriteContainer() const;
    // The collision polygon (or circle) of the object; empty here.
    virtual std::shared_ptr<ZqModelPolygon> collisionShape() const;
    // The size of the frame the sprite container shows at time; 100 x 100 without one.
    virtual cocos2d::CCSize contentSize(float time) const;
    virtual bool hasSpawner() const { return false; }
    virtual float spawnRate() const { return 0.0f; }

    // The value plus its curve's offset for state at time. Images read them every frame,
    // and most attributes have no curve: those are spared the lookup and the call.
    cocos2d::CCPoint position(float time, int state) const { return animated(*m_position, time, state); }
    float rotation(float time, int state) const { return animated(*m_rotation, time, state); }
    cocos2d::CCPoint scale(float time, int state) const { return animated(*m_scale, time, state); }
    float opacity(float time, int state) const { return animated(*m_opacity, time, state); }
    // The position kept at the same distance from a near screen edge on screens of another
    // shape than the design size: within 30 % of an edge it moves with the visible area.
    cocos2d::CCPoint anchoredPosition(float time, int state) const;

    const cocos2d::CCPoint& positionVariance() const { return m_position->variableValue(); }
    // Value +- spread, with fresh random draws.
    cocos2d::CCPoint randomizedPosition() const { return m_position->randomValue(); }
    float randomizedRotation() const { return m_rotation->randomValue(); }

    bool isHidden() const { return m_hidden->value(); }
    int zDepth() const { return m_zDepth->value(); }
    // Clamped per axis; notify only on a change.
    void setPosition(const cocos2d::CCPoint& position) { m_position->setValue(position); }
    void setScale(const cocos2d::CCPoint& scale) { m_scale->setValue(scale); }
    void setZDepth(int depth) { m_zDepth->setValue(depth); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_ATTRIBUTES)

private:
    static float animated(const ZqAttributeFloat& attribute, float time, int state)
    {
        return attribute.hasCurves() ? attribute.value() + attribute.curveOffset(time, state) : attribute.value();
    }
    static cocos2d::CCPoint animated(const ZqAttributePoint& attribute, float time, int state)
    {
        return attribute.hasCurves() ? attribute.value() + attribute.curveOffset(time, state) : attribute.value();
    }
};

class ZqModelObject : public ZqBaseModelObject {
public:
    using ZqBaseModelObject::ZqBaseModelObject;
    ZQ_MODEL_IDENTITY(ZqModelObject, ZqModelCompound)
    ZQ_MODEL_FACTORY(ZqModelObject)
};

#define ZQ_MODEL_OBJECT_IMAGE_ATTRIBUTES(A, V)                                                     \
    V(ZqAttributeSprite, m_image,       "Image",         nullptr)                                  \
    V(ZqAttributeFloat,  m_autohide,    "Autohide",      0.0f)                                     \
    V(ZqAttributeBool,   m_stickToEdge, "Stick To Edge", true)

// A placed picture of an interface screen: a sprite container. Buttons derive from it,
// and the frames of a composed animation are images too. An image and its picture keep
// the same name.
class ZqBaseModelObjectImage : public ZqModelObject {
public:
    explicit ZqBaseModelObjectImage(const std::string& name);
    ZqBaseModelObjectImage(const ZqBaseModelObjectImage& source);

    // The container of "Image"; empty when unset.
    std::shared_ptr<ZqModelSpriteContainer> spriteContainer() const override;
    // A new "Name" is passed on to the picture.
    void attributeChanged(ZqBaseAttribute* attribute, int kind) override;

    void setImage(const std::shared_ptr<ZqModelSpriteContainer>& container) { m_image->setValue(container); }
    // Seconds until the image hides; 0 never.
    float autohide() const { return m_autohide->value(); }
    bool stickToEdge() const { return m_stickToEdge->value(); }
    void setStickToEdge(bool stick) { m_stickToEdge->setValue(stick); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_IMAGE_ATTRIBUTES)
};

class ZqModelObjectImage : public ZqBaseModelObjectImage {
public:
    using ZqBaseModelObjectImage::ZqBaseModelObjectImage;
    ZQ_MODEL_IDENTITY(ZqModelObjectImage, ZqModelObject)
    ZQ_MODEL_FACTORY(ZqModelObjectImage)
};
