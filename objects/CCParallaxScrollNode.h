#pragma once

#include "cocos2d.h"

// The parallax scrolling of background layers. These two are nodes of the game, not of the
// engine (engine/ knows nothing of the game); they keep their engine-style names.
//
// CCParallaxScrollOffset: the scroll record of one child of a CCParallaxScrollNode. Points
// are in the scroll node's space; ratio is the parallax factor per axis; relative velocity
// is added to the node's velocity, in units of 1/32 point a second.
class CCParallaxScrollOffset : public cocos2d::CCLayer {
public:
    // Autoreleased; null when init fails.
    static CCParallaxScrollOffset* create();
    // A record of child (not retained: the scroll node owns it as a child), placed at
    // position with anchor (0, 0). Autoreleased.
    static CCParallaxScrollOffset* createWithChild(cocos2d::CCNode* child, const cocos2d::CCPoint& ratio,
                                                   const cocos2d::CCPoint& position,
                                                   const cocos2d::CCPoint& scrollOffset,
                                                   const cocos2d::CCPoint& relativeVelocity);
    bool init() override;

    // The distance by which the child jumps when it wraps.
    virtual cocos2d::CCPoint getScrollOffset() const { return m_scrollOffset; }
    virtual void setScrollOffset(const cocos2d::CCPoint& offset) { m_scrollOffset = offset; }
    virtual cocos2d::CCPoint getOrigPosition() const { return m_origPosition; }
    virtual void setOrigPosition(const cocos2d::CCPoint& position) { m_origPosition = position; }
    virtual cocos2d::CCPoint getRelVelocity() const { return m_relVelocity; }
    virtual void setRelVelocity(const cocos2d::CCPoint& velocity) { m_relVelocity = velocity; }
    virtual cocos2d::CCPoint getRatio() const { return m_ratio; }
    virtual void setRatio(const cocos2d::CCPoint& ratio) { m_ratio = ratio; }
    virtual cocos2d::CCNode* getTheChild() const { return m_child; }
    virtual void setTheChild(cocos2d::CCNode* child) { m_child = child; }

private:
    cocos2d::CCPoint m_scrollOffset;
    cocos2d::CCPoint m_origPosition;
    cocos2d::CCPoint m_relVelocity;
    cocos2d::CCPoint m_ratio;
    cocos2d::CCNode* m_child = nullptr;
};

// A layer of scrolling children that wrap around: a child that leaves past an edge of the
// range jumps by its record's scroll offset to the other side. The range starts at its
// origin, which the owner may move (to keep it on the window).
class CCParallaxScrollNode : public cocos2d::CCLayer {
public:
    // Not autoreleased: the caller owns the node. Null when init fails.
    static CCParallaxScrollNode* create();
    ~CCParallaxScrollNode() override;
    // Range = the window size, anchor (0, 0), rotation compensation 0.
    bool init() override;

    // Lays sprites (an array of CCSprite) end to end along direction from start, gap
    // points apart; each wraps by the strip's whole length.
    void addScrollStrip(cocos2d::CCArray* sprites, int z, const cocos2d::CCPoint& ratio, const cocos2d::CCPoint& start,
                        const cocos2d::CCPoint& direction, const cocos2d::CCPoint& relativeVelocity,
                        const cocos2d::CCPoint& gap);
    // Adds one scrolling child whose lower-left corner is at position.
    void addScrollChild(cocos2d::CCSprite* sprite, int z, const cocos2d::CCPoint& ratio, const cocos2d::CCPoint& position,
                        const cocos2d::CCPoint& scrollOffset, const cocos2d::CCPoint& relativeVelocity);
    // Moves every child by (velocity + its relative velocity) x 32 x time, times its
    // ratio, and wraps the children that left the range, as many strip lengths as it takes.
    void scrollWithVelocity(const cocos2d::CCPoint& velocity, float time);

    const cocos2d::CCSize& range() const { return m_range; }
    void setRange(const cocos2d::CCSize& range) { m_range = range; }
    // The range's lower-left corner in the node's space, (0, 0) after init. A move counts
    // against the children's movement at the next scroll.
    const cocos2d::CCPoint& rangeOrigin() const { return m_rangeOrigin; }
    void setRangeOrigin(const cocos2d::CCPoint& origin);
    // The rotation given to children added from now on (degrees).
    void setRotationCompensation(float degrees) { m_rotationCompensation = degrees; }
    // The scroll records, in the order their children were added.
    cocos2d::CCArray* scrollOffsets() const { return m_offsets; }

private:
    cocos2d::CCSize m_range;
    cocos2d::CCPoint m_rangeOrigin;
    // How far the origin moved since the last scroll.
    cocos2d::CCPoint m_rangeMoved;
    cocos2d::CCArray* m_offsets = nullptr;
    float m_rotationCompensation = 0.0f;
};
