#pragma once

#include "cocos2d.h"

#include <memory>

class ZqModelObjectImage;
class ZqModelSpriteContainer;

// The picture of an image model on a screen or inside an animation object: its sprite
// (still or a frame animation), placed, turned, scaled and faded by the model's curves at
// its own clock. It can hide itself after "Autohide" seconds with a 2 s fade.
class ZqPObjectImage final : public cocos2d::CCNode {
public:
    // Autoreleased; the sprite plays at speed and loops when loop. Null for a null model.
    static ZqPObjectImage* create(const std::shared_ptr<ZqModelObjectImage>& model, float speed, bool loop);
    ~ZqPObjectImage() override;

    // Advances the clock by dt seconds, starts the autohide fade when due, then applies the
    // model's rotation, scale, position and (until faded) opacity at the clock.
    void update(float dt) override;
    // Keep track of whether the own sprite is the only child.
    using cocos2d::CCNode::addChild;
    void addChild(cocos2d::CCNode* child, int zOrder, int tag) override;
    void removeChild(cocos2d::CCNode* child, bool cleanup = true) override;
    // Clock to 0 and the frame animation from its first frame.
    virtual void restart();
    // The state key under which the curves are read.
    virtual void setCurveState(int state) { m_curveState = state; }

    void pauseAnimation();
    void resumeAnimation();
    // Shows frame index of the sprite container (modulo its frame count; negative indices
    // count from the end). Nothing for an empty container.
    void setAnimationFrame(int index);
    // Stops the sprites that run a frame animation.
    void stopAnimation();

    // Multiplies the model's opacity; an animation object passes its own factor here.
    void setOpacityFactor(float factor) { m_opacityFactor = factor; }
    float opacityFactor() const { return m_opacityFactor; }
    bool isFaded() const { return m_faded; }
    float time() const { return m_time; }
    const std::shared_ptr<ZqModelObjectImage>& model() const { return m_model; }

private:
    ZqPObjectImage() = default;
    void applyPlacement();
    void childrenChanged();

    std::shared_ptr<ZqModelObjectImage> m_model;
    bool m_faded = false;
    float m_time = 0.0f;
    // Retained; the sprite made with the image, a CCRGBAProtocol known without a cast.
    cocos2d::CCSprite* m_sprite = nullptr;
    // Retained; the sprite's frame animation, kept to run it again.
    cocos2d::CCAction* m_spriteAnimation = nullptr;
    int m_curveState = 0;
    float m_opacityFactor = 1.0f;
    // Whether the own sprite is the only child: update then reads no child list.
    bool m_spriteAlone = false;
    // The opacity update last gave the own sprite while it was the only child.
    static constexpr int kOpacityUnknown = -1;
    int m_spriteOpacity = kOpacityUnknown;
    // The frame the last setAnimationFrame showed (retained), from which container and index.
    cocos2d::CCSpriteFrame* m_shownFrame = nullptr;
    std::weak_ptr<ZqModelSpriteContainer> m_shownContainer;
    unsigned m_shownIndex = 0;
};
