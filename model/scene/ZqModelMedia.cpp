#include "model/scene/ZqModelMedia.h"

#include "model/ZqModelController.h"
#include "model/scene/ZqModelObject.h"

#include <ZqNumeric.h>

#include <algorithm>

using namespace cocos2d;

namespace {

// "<data directory><fixed part><id><extension>".
std::string mediaPath(const char* fixedPart, unsigned id, const char* extension)
{
    return ZqModelController::shared()->dataDirectory() + fixedPart + std::to_string(id) + extension;
}

} // namespace

std::string zqSpriteFrameName(unsigned spriteId)
{
    return "ZqModelSprite_ID" + std::to_string(spriteId);
}

ZqBaseModelSprite::ZqBaseModelSprite(const std::string& name)
    : ZqModel(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_SPRITE_ATTRIBUTES)
}

ZqBaseModelSprite::ZqBaseModelSprite(const ZqBaseModelSprite& source)
    : ZqModel(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_SPRITE_ATTRIBUTES)
}

std::string ZqBaseModelSprite::imagePath() const
{
    return mediaPath("/images/ZqModelSprite_ID", id(), ".png");
}

std::string ZqBaseModelSprite::effectPath() const
{
    return mediaPath("/effects/ZqModelSprite_ID", id(), ".png");
}

CCSize ZqBaseModelSprite::size() const
{
    return m_size ? m_size->value() : CCSize();
}

CCSize ZqBaseModelSprite::sourceSize() const
{
    return m_sourceSize ? m_sourceSize->value() : CCSize();
}

std::string ZqBaseModelSound::soundPath() const
{
    return mediaPath("/sounds/ZqModelSound_ID", id(), ".mp3");
}

ZqBaseModelSpriteContainer::ZqBaseModelSpriteContainer(const std::string& name)
    : ZqModel(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_SPRITE_CONTAINER_ATTRIBUTES)
}

ZqBaseModelSpriteContainer::ZqBaseModelSpriteContainer(const ZqBaseModelSpriteContainer& source)
    : ZqModel(source), m_shapeOffset(source.m_shapeOffset)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_SPRITE_CONTAINER_ATTRIBUTES)
}

void ZqBaseModelSpriteContainer::childAdded(const std::shared_ptr<ZqModel>& child)
{
    ZqModel::childAdded(child);
    m_sprites.add(child);
}

void ZqBaseModelSpriteContainer::childRemoved(const std::shared_ptr<ZqModel>& child)
{
    ZqModel::childRemoved(child);
    m_sprites.remove(child.get());
}

void ZqBaseModelSpriteContainer::childrenCleared()
{
    ZqModel::childrenCleared();
    m_sprites.clear();
}

float ZqBaseModelSpriteContainer::animationSpeed() const
{
    return m_animationSpeed ? m_animationSpeed->value() : 0.0f;
}

float ZqBaseModelSpriteContainer::duration() const
{
    return m_duration ? m_duration->value() : 0.0f;
}

bool ZqBaseModelSpriteContainer::isExcludedFromAtlas() const
{
    return m_excludedFromAtlas && m_excludedFromAtlas->value();
}

void ZqBaseModelSpriteContainer::setExcludedFromAtlas(bool excluded)
{
    // The attribute's setter clamps, compares and notifies only on a change.
    if (m_excludedFromAtlas)
        m_excludedFromAtlas->setValue(excluded);
}

unsigned ZqBaseModelSpriteContainer::frameIndexAtTime(float time) const
{
    const float k = animationSpeed() * time * 30.0f;
    // A negative frame number wraps as an unsigned number, as the frame counter does.
    return static_cast<unsigned>(zqSaturatingInt(k)) % static_cast<unsigned>(m_sprites.size());
}

CCSize ZqBaseModelSpriteContainer::frameSizeAtTime(float time) const
{
    if (m_sprites.empty())
        return CCSize();
    return m_sprites[frameIndexAtTime(time)]->size();
}

CCSize ZqBaseModelSpriteContainer::frameSourceSizeAtTime(float time) const
{
    if (m_sprites.empty())
        return CCSize();
    return m_sprites[frameIndexAtTime(time)]->sourceSize();
}

double ZqBaseModelSpriteContainer::frameDelay(float speed) const
{
    return (1.0 / 30.0) / static_cast<double>(speed) / static_cast<double>(animationSpeed());
}

ZqBaseModelAnimation::ZqBaseModelAnimation(const std::string& name)
    : ZqModel(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_ANIMATION_ATTRIBUTES)
}

ZqBaseModelAnimation::ZqBaseModelAnimation(const ZqBaseModelAnimation& source)
    : ZqModel(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_ANIMATION_ATTRIBUTES)
}

void ZqBaseModelAnimation::childAdded(const std::shared_ptr<ZqModel>& child)
{
    ZqModel::childAdded(child);
    m_frames.add(child);
}

void ZqBaseModelAnimation::childRemoved(const std::shared_ptr<ZqModel>& child)
{
    ZqModel::childRemoved(child);
    m_frames.remove(child.get());
}

void ZqBaseModelAnimation::childrenCleared()
{
    ZqModel::childrenCleared();
    m_frames.clear();
}

std::shared_ptr<ZqModel> ZqBaseModelAnimation::frame(unsigned index) const
{
    return index < m_frames.size() ? m_frames[index] : nullptr;
}

void ZqBaseModelAnimation::removeAllFrames()
{
    // Taken out first: each removal runs childRemoved, which would edit the list walked.
    const FrameList frames = m_frames.take();
    for (const std::shared_ptr<ZqModel>& frame : frames)
        removeChild(frame, false);
}

void ZqBaseModelAnimation::setLoop(bool loop)
{
    if (m_loop)
        m_loop->setValue(loop);
}

void ZqBaseModelAnimation::setDuration(float seconds)
{
    if (m_duration)
        m_duration->setValue(seconds);
}

ZqBaseModelAtlas::ZqBaseModelAtlas(const std::string& name)
    : ZqModel(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_ATLAS_ATTRIBUTES)
    // The authoring tool clamps the random spread together with the value when it narrows
    // the range, so the spread of width and height starts at the minimum.
    m_width->setVariableValue(128.0f);
    m_height->setVariableValue(128.0f);
}

ZqBaseModelAtlas::ZqBaseModelAtlas(const ZqBaseModelAtlas& source)
    : ZqModel(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_ATLAS_ATTRIBUTES)
}

std::string ZqBaseModelAtlas::imagePath() const
{
    return mediaPath("/atlases/atlas_ID", id(), ".png");
}

std::string ZqBaseModelAtlas::plistPath() const
{
    return mediaPath("/atlases/atlas_ID", id(), ".plist");
}

void ZqBaseModelAtlas::childAdded(const std::shared_ptr<ZqModel>& child)
{
    ZqModel::childAdded(child);
    m_sprites.add(child);
}

void ZqBaseModelAtlas::childRemoved(const std::shared_ptr<ZqModel>& child)
{
    ZqModel::childRemoved(child);
    m_sprites.remove(child.get());
}

void ZqBaseModelAtlas::childrenCleared()
{
    ZqModel::childrenCleared();
    m_sprites.clear();
}

float ZqBaseModelAtlas::width() const
{
    return m_width ? m_width->value() : 0.0f;
}

float ZqBaseModelAtlas::height() const
{
    return m_height ? m_height->value() : 0.0f;
}

float ZqBaseModelAtlas::padding() const
{
    return m_padding ? m_padding->value() : 0.0f;
}
