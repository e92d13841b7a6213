#pragma once

#include "base/CCGeometry.h"
#include "base/CCObject.h"

namespace cocos2d {

class CCTexture2D;

// A picture inside a texture: the rectangle it takes (texture pixels, origin top-left),
// whether it is stored turned 90 degrees clockwise (the rectangle's size is then the
// picture's upright size, while it covers height x width texels), and, for a picture
// whose transparent border was trimmed away, the untrimmed size and the offset of the
// trimmed part's centre from the untrimmed centre (points, y up).
class CCSpriteFrame : public CCObject {
public:
    // Autoreleased; the texture (non-null) is retained. Untrimmed and upright.
    static CCSpriteFrame* createWithTexture(CCTexture2D* texture, const CCRect& rect);
    static CCSpriteFrame* createWithTexture(CCTexture2D* texture, const CCRect& rect, bool rotated,
                                            const CCPoint& offset, const CCSize& originalSize);

    ~CCSpriteFrame() override;

    const CCRect& getRect() const { return m_obRect; }
    bool isRotated() const { return m_bRotated; }
    const CCPoint& getOffset() const { return m_obOffset; }
    const CCSize& getOriginalSize() const { return m_obOriginalSize; }
    CCTexture2D* getTexture() const { return m_pTexture; }

private:
    CCSpriteFrame() = default;

    CCTexture2D* m_pTexture = nullptr;
    CCRect m_obRect;
    bool m_bRotated = false;
    CCPoint m_obOffset;
    CCSize m_obOriginalSize;
};

} // namespace cocos2d
