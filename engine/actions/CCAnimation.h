#pragma once

#include "actions/CCActionInterval.h"
#include "base/CCArray.h"

namespace cocos2d {

// A node whose picture an animation can switch (the sprite). Frames are sprite frames,
// handled here as plain engine objects: the implementer casts them back.
class CCAnimationTarget {
public:
    virtual ~CCAnimationTarget() = default;

    // Shows frame (never null).
    virtual void setAnimationFrame(CCObject* frame) = 0;
    // The frame shown now, or null.
    virtual CCObject* getAnimationFrame() = 0;
};

// A list of frames shown delayPerUnit seconds each, loops times over.
class CCAnimation : public CCObject {
public:
    // Autoreleased, empty, one loop, no delay.
    static CCAnimation* create();

    ~CCAnimation() override;

    // Appends a sprite frame (retained); a null frame is not appended.
    void addSpriteFrame(CCObject* frame);
    CCArray* getFrames() const { return m_pFrames; }

    // Seconds each frame shows.
    void setDelayPerUnit(float delay) { m_fDelayPerUnit = delay; }
    float getDelayPerUnit() const { return m_fDelayPerUnit; }
    // Whether the frame shown before the animation comes back when it ends.
    void setRestoreOriginalFrame(bool restore) { m_bRestoreOriginalFrame = restore; }
    bool getRestoreOriginalFrame() const { return m_bRestoreOriginalFrame; }
    void setLoops(unsigned int loops) { m_uLoops = loops; }
    unsigned int getLoops() const { return m_uLoops; }
    // One loop: frames x delay per unit, in seconds.
    float getDuration() const;

private:
    CCArray* m_pFrames = nullptr;
    float m_fDelayPerUnit = 0.0f;
    unsigned int m_uLoops = 1;
    bool m_bRestoreOriginalFrame = false;
};

// Plays an animation on a CCAnimationTarget node (others are left alone): during
// [k d, (k + 1) d) of each loop it shows frame k, where d is the delay per unit; at the
// end the last frame stays unless the animation restores the original one.
class CCAnimate : public CCActionInterval {
public:
    // Autoreleased; null for a null animation. The animation is retained.
    static CCAnimate* create(CCAnimation* animation);

    ~CCAnimate() override;
    CCAnimation* getAnimation() const { return m_pAnimation; }

    void startWithTarget(CCNode* target) override;
    void stop() override;
    void update(float t) override;

private:
    CCAnimation* m_pAnimation = nullptr;
    CCAnimationTarget* m_pFrameTarget = nullptr;
    // Retained while the animation runs, when it is to be restored.
    CCObject* m_pOriginalFrame = nullptr;
    // Index of the frame shown last; -1 for none yet.
    int m_lastFrame = -1;
    unsigned int m_lastLoop = 0;
};

} // namespace cocos2d
