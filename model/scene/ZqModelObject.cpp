#include "model/scene/ZqModelObject.h"

#include "model/ZqModelGeneralSettings.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelShapes.h"

using namespace cocos2d;

ZqBaseModelObject::ZqBaseModelObject(const std::string& name)
    : ZqModelCompound(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_ATTRIBUTES)
}

ZqBaseModelObject::ZqBaseModelObject(const ZqBaseModelObject& source)
    : ZqModelCompound(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_ATTRIBUTES)
}

std::shared_ptr<ZqModelSpriteContainer> ZqBaseModelObject::spriteContainer() const
{
    return nullptr;
}

std::shared_ptr<ZqModelPolygon> ZqBaseModelObject::collisionShape() const
{
    return nullptr;
}

CCSize ZqBaseModelObject::contentSize(float time) const
{
    if (const std::shared_ptr<ZqModelSpriteContainer> container = spriteContainer())
        return container->frameSourceSizeAtTime(time);
    return CCSize(100.0f, 100.0f);
}

namespace {

// One axis of anchoredPosition: near the far edge the distance to that edge is kept, near
// the near edge the distance to the visible origin; the middle band stays put.
float anchoredAxis(float value, float design, float visible, float origin)
{
    if (static_cast<double>(value) > 0.7 * design)
        return visible + origin - (design - value);
    if (static_cast<double>(value) < 0.3 * design)
        return value + origin;
    return value;
}

} // namespace

CCPoint ZqBaseModelObject::anchoredPosition(float time, int state) const
{
    const CCPoint point = position(time, state);
    const CCSize design = ZqModelGeneralSettings::shared()->orientation() == 1 ? CCSize(1136.0f, 640.0f)
                                                                               : CCSize(640.0f, 1136.0f);
    CCDirector* director = CCDirector::sharedDirector();
    const CCSize visible = director->getVisibleSize();
    const CCPoint origin = director->getVisibleOrigin();
    return CCPoint(anchoredAxis(point.x, design.width, visible.width, origin.x),
                   anchoredAxis(point.y, design.height, visible.height, origin.y));
}

ZqBaseModelObjectImage::ZqBaseModelObjectImage(const std::string& name)
    : ZqModelObject(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_IMAGE_ATTRIBUTES)
}

ZqBaseModelObjectImage::ZqBaseModelObjectImage(const ZqBaseModelObjectImage& source)
    : ZqModelObject(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_IMAGE_ATTRIBUTES)
}

std::shared_ptr<ZqModelSpriteContainer> ZqBaseModelObjectImage::spriteContainer() const
{
    return m_image->value();
}

void ZqBaseModelObjectImage::attributeChanged(ZqBaseAttribute* attribute, int kind)
{
    ZqModelObject::attributeChanged(attribute, kind);
    if (attribute == nameAttribute() && m_image && m_image->value())
        m_image->value()->setName(name());
}
