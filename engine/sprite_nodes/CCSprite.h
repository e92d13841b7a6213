#pragma once

#include "actions/CCAnimation.h"
#include "base/CCGeometry.h"
#include "nodes/CCNodeRGBA.h"
#include "sprite_nodes/CCQuadRenderer.h"

namespace cocos2d {

class CCSpriteFrame;
class CCTexture2D;

// A node showing a rectangle of a texture, tinted by its displayed colour and opacity.
// Anchor point (0.5, 0.5). Its content size is the untrimmed size of what it shows:
// a trimmed atlas frame draws at its offset inside that box. The texture is retained.
// A sprite without a texture, or at displayed opacity 0, draws nothing.
//
// The texture rectangle is in texture pixels, origin top-left. A rectangle reaching
// past the texture stretches the part inside the texture over the whole rectangle
// (a rectangle of any size over a 1x1 texture gives a plain coloured box).
class CCSprite : public CCNodeRGBA, public CCAnimationTarget {
public:
    // Autoreleased; null when the file, texture or frame is missing.
    static CCSprite* create();
    static CCSprite* create(const char* file);
    static CCSprite* createWithTexture(CCTexture2D* texture);
    static CCSprite* createWithTexture(CCTexture2D* texture, const CCRect& rect);
    static CCSprite* createWithSpriteFrame(CCSpriteFrame* frame);
    // The frame from the shared sprite frame cache; null when there is none of that name.
    static CCSprite* createWithSpriteFrameName(const char* frameName);

    ~CCSprite() override;

    bool init() override;
    // texture may be null; the rectangle is the whole texture.
    bool initWithTexture(CCTexture2D* texture);
    bool initWithTexture(CCTexture2D* texture, const CCRect& rect);
    bool initWithTexture(CCTexture2D* texture, const CCRect& rect, bool rotated);
    // Loads the image through the texture cache; false when it cannot be.
    bool initWithFile(const char* file);
    bool initWithSpriteFrame(CCSpriteFrame* frame);

    // Swaps the texture (null allowed) and takes its default blend function; the
    // rectangle stays.
    virtual void setTexture(CCTexture2D* texture);
    CCTexture2D* getTexture() const { return m_pTexture; }

    // Shows rect, upright and untrimmed: the content size becomes rect's size.
    void setTextureRect(const CCRect& rect);
    // Shows rect, stored turned 90 degrees clockwise when rotated, inside a content box
    // of untrimmedSize.
    void setTextureRect(const CCRect& rect, bool rotated, const CCSize& untrimmedSize);
    const CCRect& getTextureRect() const { return m_obRect; }
    bool isTextureRectRotated() const { return m_bRectRotated; }
    // Bottom-left of the drawn rectangle inside the content box, points.
    const CCPoint& getOffsetPosition() const { return m_obOffsetPosition; }

    // Shows frame (null is ignored): its texture, rectangle, rotation, offset and size.
    void setDisplayFrame(CCSpriteFrame* frame);
    // An autoreleased frame of what is shown now; null without a texture.
    CCSpriteFrame* displayFrame() const;
    // Whether frame's texture, rectangle and offset are the ones shown.
    bool isFrameDisplayed(CCSpriteFrame* frame) const;

    // Mirrors the picture inside its content box (not the children).
    void setFlipX(bool flipX);
    bool isFlipX() const { return m_bFlipX; }
    void setFlipY(bool flipY);
    bool isFlipY() const { return m_bFlipY; }

    void setBlendFunc(const ccBlendFunc& blendFunc) { m_sBlendFunc = blendFunc; }
    const ccBlendFunc& getBlendFunc() const { return m_sBlendFunc; }

    void draw() override;

    // CCAnimationTarget: frames are CCSpriteFrames.
    void setAnimationFrame(CCObject* frame) override;
    CCObject* getAnimationFrame() override;

protected:
    CCSprite() = default;

    // Rebuilds the quad's corners and texture coordinates from the rectangle and flips.
    void updateQuad();

    CCTexture2D* m_pTexture = nullptr;
    CCRect m_obRect;
    bool m_bRectRotated = false;
    CCPoint m_obUnflippedOffsetPositionFromCenter;
    CCPoint m_obOffsetPosition;
    bool m_bFlipX = false;
    bool m_bFlipY = false;
    ccBlendFunc m_sBlendFunc;
    ccV3F_C4B_T2F_Quad m_sQuad;
};

} // namespace cocos2d
