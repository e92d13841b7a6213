#include "sprite_nodes/CCSprite.h"

#include "CCGL.h"
#include "gl/CCShaderCache.h"
#include "sprite_nodes/CCSpriteFrame.h"
#include "sprite_nodes/CCSpriteFrameCache.h"
#include "textures/CCTexture2D.h"
#include "textures/CCTextureCache.h"

#include <algorithm>
#include <utility>

namespace cocos2d {

namespace {

template <class Init>
CCSprite* createInitialised(CCSprite* sprite, Init init)
{
    if (!init(sprite)) {
        sprite->release();
        return nullptr;
    }
    sprite->autorelease();
    return sprite;
}

} // namespace

// The constructor is protected: the factories below are members.
CCSprite* CCSprite::create()
{
    return createInitialised(new CCSprite(), [](CCSprite* s) { return s->init(); });
}

CCSprite* CCSprite::create(const char* file)
{
    return createInitialised(new CCSprite(), [file](CCSprite* s) { return s->initWithFile(file); });
}

CCSprite* CCSprite::createWithTexture(CCTexture2D* texture)
{
    if (!texture)
        return nullptr;
    return createInitialised(new CCSprite(), [texture](CCSprite* s) { return s->initWithTexture(texture); });
}

CCSprite* CCSprite::createWithTexture(CCTexture2D* texture, const CCRect& rect)
{
    if (!texture)
        return nullptr;
    return createInitialised(new CCSprite(), [&](CCSprite* s) { return s->initWithTexture(texture, rect); });
}

CCSprite* CCSprite::createWithSpriteFrame(CCSpriteFrame* frame)
{
    if (!frame)
        return nullptr;
    return createInitialised(new CCSprite(), [frame](CCSprite* s) { return s->initWithSpriteFrame(frame); });
}

CCSprite* CCSprite::createWithSpriteFrameName(const char* frameName)
{
    return createWithSpriteFrame(CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(frameName));
}

CCSprite::~CCSprite()
{
    CC_SAFE_RELEASE(m_pTexture);
}

bool CCSprite::init()
{
    return initWithTexture(nullptr, CCRectZero);
}

bool CCSprite::initWithTexture(CCTexture2D* texture)
{
    CCRect rect;
    if (texture)
        rect.size = texture->getContentSize();
    return initWithTexture(texture, rect);
}

bool CCSprite::initWithTexture(CCTexture2D* texture, const CCRect& rect)
{
    return initWithTexture(texture, rect, false);
}

bool CCSprite::initWithTexture(CCTexture2D* texture, const CCRect& rect, bool rotated)
{
    if (!CCNodeRGBA::init())
        return false;
    m_obAnchorPoint = CCPoint(0.5f, 0.5f);
    m_bFlipX = false;
    m_bFlipY = false;
    m_obUnflippedOffsetPositionFromCenter = CCPointZero;
    setTexture(texture);
    setTextureRect(rect, rotated, rect.size);
    return true;
}

bool CCSprite::initWithFile(const char* file)
{
    CCTexture2D* texture = CCTextureCache::sharedTextureCache()->addImage(file);
    return texture && initWithTexture(texture);
}

bool CCSprite::initWithSpriteFrame(CCSpriteFrame* frame)
{
    if (!frame || !initWithTexture(frame->getTexture(), frame->getRect()))
        return false;
    setDisplayFrame(frame);
    return true;
}

void CCSprite::setTexture(CCTexture2D* texture)
{
    if (texture != m_pTexture) {
        CC_SAFE_RETAIN(texture);
        CC_SAFE_RELEASE(m_pTexture);
        m_pTexture = texture;
    }
    // Premultiplied pictures blend with ONE and take their colour premultiplied too.
    const bool premultiplied = texture && texture->hasPremultipliedAlpha();
    m_sBlendFunc = premultiplied ? ccBlendFunc{GL_ONE, GL_ONE_MINUS_SRC_ALPHA}
                                 : ccBlendFunc{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
    m_bOpacityModifyRGB = premultiplied;
    updateQuad();
}

void CCSprite::setTextureRect(const CCRect& rect)
{
    setTextureRect(rect, false, rect.size);
}

void CCSprite::setTextureRect(const CCRect& rect, bool rotated, const CCSize& untrimmedSize)
{
    m_obRect = rect;
    m_bRectRotated = rotated;
    setContentSize(untrimmedSize);
    updateQuad();
}

void CCSprite::updateQuad()
{
    // The drawn rectangle: centred in the content box, moved by the trim offset, which
    // mirrors with the picture.
    CCPoint offset = m_obUnflippedOffsetPositionFromCenter;
    if (m_bFlipX)
        offset.x = -offset.x;
    if (m_bFlipY)
        offset.y = -offset.y;
    m_obOffsetPosition.x = offset.x + (m_obContentSize.width - m_obRect.size.width) * 0.5f;
    m_obOffsetPosition.y = offset.y + (m_obContentSize.height - m_obRect.size.height) * 0.5f;

    const float x1 = m_obOffsetPosition.x;
    const float y1 = m_obOffsetPosition.y;
    const float x2 = x1 + m_obRect.size.width;
    const float y2 = y1 + m_obRect.size.height;
    m_sQuad.bl.vertices = ccVertex3F{x1, y1, 0.0f};
    m_sQuad.br.vertices = ccVertex3F{x2, y1, 0.0f};
    m_sQuad.tl.vertices = ccVertex3F{x1, y2, 0.0f};
    m_sQuad.tr.vertices = ccVertex3F{x2, y2, 0.0f};

    if (!m_pTexture)
        return;
    // The texels covered, clamped to the texture so that a larger rectangle stretches.
    const float width = static_cast<float>(m_pTexture->getPixelsWide());
    const float height = static_cast<float>(m_pTexture->getPixelsHigh());
    const float spanX = m_bRectRotated ? m_obRect.size.height : m_obRect.size.width;
    const float spanY = m_bRectRotated ? m_obRect.size.width : m_obRect.size.height;
    float left = std::clamp(m_obRect.origin.x, 0.0f, width) / width;
    float right = std::clamp(m_obRect.origin.x + spanX, 0.0f, width) / width;
    float top = std::clamp(m_obRect.origin.y, 0.0f, height) / height;
    float bottom = std::clamp(m_obRect.origin.y + spanY, 0.0f, height) / height;

    if (m_bRectRotated) {
        // Stored turned clockwise: the picture's left edge runs along the region's top.
        if (m_bFlipX)
            std::swap(top, bottom);
        if (m_bFlipY)
            std::swap(left, right);
        m_sQuad.bl.texCoords = ccTex2F{left, top};
        m_sQuad.br.texCoords = ccTex2F{left, bottom};
        m_sQuad.tl.texCoords = ccTex2F{right, top};
        m_sQuad.tr.texCoords = ccTex2F{right, bottom};
    } else {
        if (m_bFlipX)
            std::swap(left, right);
        if (m_bFlipY)
            std::swap(top, bottom);
        m_sQuad.bl.texCoords = ccTex2F{left, bottom};
        m_sQuad.br.texCoords = ccTex2F{right, bottom};
        m_sQuad.tl.texCoords = ccTex2F{left, top};
        m_sQuad.tr.texCoords = ccTex2F{right, top};
    }
}

void CCSprite::setDisplayFrame(CCSpriteFrame* frame)
{
    if (!frame)
        return;
    m_obUnflippedOffsetPositionFromCenter = frame->getOffset();
    if (frame->getTexture() != m_pTexture)
        setTexture(frame->getTexture());
    setTextureRect(frame->getRect(), frame->isRotated(), frame->getOriginalSize());
}

CCSpriteFrame* CCSprite::displayFrame() const
{
    return CCSpriteFrame::createWithTexture(m_pTexture, m_obRect, m_bRectRotated,
                                            m_obUnflippedOffsetPositionFromCenter, m_obContentSize);
}

bool CCSprite::isFrameDisplayed(CCSpriteFrame* frame) const
{
    return frame && frame->getTexture() == m_pTexture && frame->getRect() == m_obRect
           && frame->getOffset() == m_obUnflippedOffsetPositionFromCenter;
}

void CCSprite::setAnimationFrame(CCObject* frame)
{
    setDisplayFrame(static_cast<CCSpriteFrame*>(frame));
}

CCObject* CCSprite::getAnimationFrame()
{
    return displayFrame();
}

void CCSprite::setFlipX(bool flipX)
{
    if (flipX == m_bFlipX)
        return;
    m_bFlipX = flipX;
    updateQuad();
}

void CCSprite::setFlipY(bool flipY)
{
    if (flipY == m_bFlipY)
        return;
    m_bFlipY = flipY;
    updateQuad();
}

void CCSprite::draw()
{
    if (!m_pTexture || m_displayedOpacity == 0)
        return;
    CCGLProgram* program = shaderProgramOr(kCCShader_PositionTextureColor);
    if (!program)
        return;
    ccColor4B color{m_displayedColor.r, m_displayedColor.g, m_displayedColor.b, m_displayedOpacity};
    if (m_bOpacityModifyRGB) {
        color.r = static_cast<GLubyte>(color.r * color.a / 255);
        color.g = static_cast<GLubyte>(color.g * color.a / 255);
        color.b = static_cast<GLubyte>(color.b * color.a / 255);
    }
    ccV3F_C4B_T2F_Quad quad = m_sQuad;
    for (ccV3F_C4B_T2F* corner : {&quad.bl, &quad.br, &quad.tl, &quad.tr}) {
        corner->colors = color;
        corner->vertices.z = m_fVertexZ;
    }
    CCQuadRenderer::sharedRenderer()->addQuad(quad, m_pTexture->getName(), m_sBlendFunc, program);
}

} // namespace cocos2d
