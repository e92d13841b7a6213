#pragma once

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributePoint.h"
#include "attributes/ZqAttributeValue.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqChildList.h"
#include "model/ZqModelRegistry.h"
#include "base/CCGeometry.h"

#include <cfloat>
#include <memory>
#include <string>
#include <vector>

namespace cocos2d {
class CCSprite;
class CCSpriteFrame;
class CCTexture2D;
}

class ZqModelSprite;
class ZqModelObject;

// The media of a game: single images (sprites), sounds, frame animations of sprites
// (sprite containers), animations made of object models, and texture atlases. Files are
// named by model id inside the controller's data directory. The functions that touch the
// engine caches (texture, createSprite, spriteFrame, getSprite, getSpriteFrame, textureAt)
// live in ZqModelMediaEngine.cpp; everything else works without the engine's caches.

// The frame name of a sprite in the sprite-frame cache: "ZqModelSprite_ID<id>".
std::string zqSpriteFrameName(unsigned spriteId);

#define ZQ_SPRITE_ATTRIBUTES(A, V)                                                     \
    V(ZqAttributeSize,  m_size,       "Size",        cocos2d::CCSize())                \
    V(ZqAttributeRect,  m_sourceRect, "Source Rect", cocos2d::CCRect())                \
    V(ZqAttributeSize,  m_sourceSize, "SourceSize",  cocos2d::CCSize())                \
    V(ZqAttributePoint, m_offset,     "Offset",      cocos2d::CCPoint())

// One image of the game, identified by its model id.
class ZqBaseModelSprite : public ZqModel {
public:
    explicit ZqBaseModelSprite(const std::string& name);
    ZqBaseModelSprite(const ZqBaseModelSprite& source);

    // "<data>/images/ZqModelSprite_ID<id>.png" and "<data>/effects/ZqModelSprite_ID<id>.png".
    virtual std::string imagePath() const;
    virtual std::string effectPath() const;
    // The texture of the effects file when there is one, else of the images file, from the
    // shared texture cache (loaded into it on first use); null when neither loads.
    virtual cocos2d::CCTexture2D* texture() const;

    // An autoreleased sprite of this sprite's frame, anchored at its centre; null when the
    // frame is not in the sprite-frame cache.
    cocos2d::CCSprite* createSprite() const;
    // The frame of the shared sprite-frame cache (not retained); null when absent.
    cocos2d::CCSpriteFrame* spriteFrame() const;

    // Frame size and source size, in points (null-safe: zero when the attribute is missing).
    cocos2d::CCSize size() const;
    cocos2d::CCSize sourceSize() const;

protected:
    ZQ_ATTRIBUTE_MEMBERS(ZQ_SPRITE_ATTRIBUTES)
};

class ZqModelSprite : public ZqBaseModelSprite {
public:
    using ZqBaseModelSprite::ZqBaseModelSprite;
    ZQ_MODEL_IDENTITY(ZqModelSprite, ZqModel)
    ZQ_MODEL_FACTORY(ZqModelSprite)
};

// One sound file, identified by its model id.
class ZqBaseModelSound : public ZqModel {
public:
    using ZqModel::ZqModel;
    // "<data>/sounds/ZqModelSound_ID<id>.mp3".
    virtual std::string soundPath() const;
};

class ZqModelSound : public ZqBaseModelSound {
public:
    using ZqBaseModelSound::ZqBaseModelSound;
    ZQ_MODEL_IDENTITY(ZqModelSound, ZqModel)
    ZQ_MODEL_FACTORY(ZqModelSound)
};

#define ZQ_SPRITE_CONTAINER_ATTRIBUTES(A, V)                                                       \
    A(ZqAttributeFloat, m_animationSpeed,    "Animation Speed",     1.0f, -FLT_MAX, FLT_MAX)       \
    A(ZqAttributeFloat, m_duration,          "Duration",            0.0f, -FLT_MAX, FLT_MAX)       \
    V(ZqAttributeBool,  m_excludedFromAtlas, "Excluded From Atlas", false)

// An ordered set of sprites shown one after the other at 30 frames a second scaled by
// "Animation Speed". The sprite list follows the sprite children (exact class), in the
// order they were added; a copy made by the copy constructor alone has an empty list.
class ZqBaseModelSpriteContainer : public ZqModel {
public:
    using SpriteList = std::vector<std::shared_ptr<ZqModelSprite>>;

    explicit ZqBaseModelSpriteContainer(const std::string& name);
    // Re-binds the attributes and copies the shape offset; the list starts empty.
    ZqBaseModelSpriteContainer(const ZqBaseModelSpriteContainer& source);

    void childAdded(const std::shared_ptr<ZqModel>& child) override;
    void childRemoved(const std::shared_ptr<ZqModel>& child) override;
    void childrenCleared() override;

    const SpriteList& sprites() const { return m_sprites.list(); }
    // Offset given to a default collision shape made from this container, in points.
    const cocos2d::CCPoint& shapeOffset() const { return m_shapeOffset; }

    float animationSpeed() const;
    float duration() const;
    bool isExcludedFromAtlas() const;
    // Clamped into the attribute's range; stored and notified only when it changes.
    void setExcludedFromAtlas(bool excluded);

    // An autoreleased sprite of the first sprite's frame (callers retain what they keep),
    // anchored at its centre. With two or more sprites it runs a frame animation over every
    // sprite whose frame is in the cache, tagged kFrameAnimationTag: forever when loop,
    // else once. A delay that is not a positive finite number (speed or "Animation Speed"
    // 0) runs no animation: the sprite shows its first frame. Null, with a log line, when
    // the container is empty or the first frame is missing.
    cocos2d::CCSprite* getSprite(float speed, bool loop) const;
    // The frame of the sprite at index modulo the count; null (log line) when empty.
    cocos2d::CCSpriteFrame* getSpriteFrame(unsigned index) const;
    // The texture of the sprite at index; null when index is not below the count.
    cocos2d::CCTexture2D* textureAt(unsigned index) const;

    // The "Size" / "SourceSize" of the sprite shown at time (seconds); (0, 0) when empty.
    cocos2d::CCSize frameSizeAtTime(float time) const;
    cocos2d::CCSize frameSourceSizeAtTime(float time) const;
    // Index of the sprite shown at time: trunc("Animation Speed" * time * 30) mod count,
    // the truncation saturating. Precondition: count > 0.
    unsigned frameIndexAtTime(float time) const;

    // Seconds per frame of the frame animation at speed: (1/30) / speed / "Animation Speed".
    double frameDelay(float speed) const;

    // The action tag of the frame animation that getSprite runs.
    static constexpr int kFrameAnimationTag = 76;

protected:
    ZQ_ATTRIBUTE_MEMBERS(ZQ_SPRITE_CONTAINER_ATTRIBUTES)

private:
    ZqChildList<ZqModelSprite, ZqChildMatch::kClass> m_sprites;
    cocos2d::CCPoint m_shapeOffset;
};

class ZqModelSpriteContainer : public ZqBaseModelSpriteContainer {
public:
    using ZqBaseModelSpriteContainer::ZqBaseModelSpriteContainer;
    ZQ_MODEL_IDENTITY(ZqModelSpriteContainer, ZqModel)
    ZQ_MODEL_FACTORY(ZqModelSpriteContainer)
};

#define ZQ_ANIMATION_ATTRIBUTES(A, V)                                          \
    A(ZqAttributeFloat, m_speed,    "Speed",    1.0f, -FLT_MAX, FLT_MAX)       \
    A(ZqAttributeFloat, m_duration, "Duration", 0.0f, -FLT_MAX, FLT_MAX)       \
    V(ZqAttributeBool,  m_loop,     "Loop",     true)

// A composed animation whose frames are object models (any kind of ZqModelObject among
// the children, in the order they were added).
class ZqBaseModelAnimation : public ZqModel {
public:
    using FrameList = std::vector<std::shared_ptr<ZqModel>>;

    explicit ZqBaseModelAnimation(const std::string& name);
    ZqBaseModelAnimation(const ZqBaseModelAnimation& source);

    void childAdded(const std::shared_ptr<ZqModel>& child) override;
    void childRemoved(const std::shared_ptr<ZqModel>& child) override;
    void childrenCleared() override;

    const FrameList& frames() const { return m_frames.list(); }
    unsigned frameCount() const { return static_cast<unsigned>(m_frames.size()); }
    // The frame model at index; empty when index is not below the count.
    std::shared_ptr<ZqModel> frame(unsigned index) const;
    // Removes every frame from the children, notifying.
    void removeAllFrames();

    // Inline: every animation object reads them twice a frame.
    float speed() const { return m_speed ? m_speed->value() : 0.0f; }
    // "Duration", in seconds.
    float duration() const { return m_duration ? m_duration->value() : 0.0f; }
    bool isLoop() const { return m_loop && m_loop->value(); }
    // Clamped into the attribute's range; stored and notified only when it changes.
    void setLoop(bool loop);
    // Through the attribute's clamping setter, notifying on a change.
    void setDuration(float seconds);

protected:
    ZQ_ATTRIBUTE_MEMBERS(ZQ_ANIMATION_ATTRIBUTES)

private:
    ZqChildList<ZqModelObject, ZqChildMatch::kKind, ZqModel> m_frames;
};

class ZqModelAnimation : public ZqBaseModelAnimation {
public:
    using ZqBaseModelAnimation::ZqBaseModelAnimation;
    ZQ_MODEL_IDENTITY(ZqModelAnimation, ZqModel)
    ZQ_MODEL_FACTORY(ZqModelAnimation)
};

#define ZQ_ATLAS_ATTRIBUTES(A, V)                                               \
    A(ZqAttributeFloat, m_width,   "width",   2048.0f, 128.0f, 4096.0f)         \
    A(ZqAttributeFloat, m_height,  "height",  2048.0f, 128.0f, 4096.0f)         \
    A(ZqAttributeFloat, m_padding, "padding", 4.0f, -FLT_MAX, FLT_MAX)

// A texture atlas made by the authoring tool; its sprites are its sprite children.
class ZqBaseModelAtlas : public ZqModel {
public:
    using SpriteList = std::vector<std::shared_ptr<ZqModelSprite>>;

    explicit ZqBaseModelAtlas(const std::string& name);
    ZqBaseModelAtlas(const ZqBaseModelAtlas& source);

    // "<data>/atlases/atlas_ID<id>.png" and ".plist".
    virtual std::string imagePath() const;
    virtual std::string plistPath() const;

    void childAdded(const std::shared_ptr<ZqModel>& child) override;
    void childRemoved(const std::shared_ptr<ZqModel>& child) override;
    void childrenCleared() override;

    const SpriteList& sprites() const { return m_sprites.list(); }
    float width() const;
    float height() const;
    float padding() const;

protected:
    ZQ_ATTRIBUTE_MEMBERS(ZQ_ATLAS_ATTRIBUTES)

private:
    ZqChildList<ZqModelSprite, ZqChildMatch::kClass> m_sprites;
};

class ZqModelAtlas : public ZqBaseModelAtlas {
public:
    using ZqBaseModelAtlas::ZqBaseModelAtlas;
    ZQ_MODEL_IDENTITY(ZqModelAtlas, ZqModel)
    ZQ_MODEL_FACTORY(ZqModelAtlas)
};
