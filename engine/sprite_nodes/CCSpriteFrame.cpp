#include "sprite_nodes/CCSpriteFrame.h"

#include "textures/CCTexture2D.h"

namespace cocos2d {

CCSpriteFrame* CCSpriteFrame::createWithTexture(CCTexture2D* texture, const CCRect& rect)
{
    return createWithTexture(texture, rect, false, CCPointZero, rect.size);
}

CCSpriteFrame* CCSpriteFrame::createWithTexture(CCTexture2D* texture, const CCRect& rect, bool rotated,
                                                const CCPoint& offset, const CCSize& originalSize)
{
    if (!texture)
        return nullptr;
    CCSpriteFrame* frame = new CCSpriteFrame();
    texture->retain();
    frame->m_pTexture = texture;
    frame->m_obRect = rect;
    frame->m_bRotated = rotated;
    frame->m_obOffset = offset;
    frame->m_obOriginalSize = originalSize;
    frame->autorelease();
    return frame;
}

CCSpriteFrame::~CCSpriteFrame()
{
    CC_SAFE_RELEASE(m_pTexture);
}

} // namespace cocos2d
