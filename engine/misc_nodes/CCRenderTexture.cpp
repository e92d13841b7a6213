#include "misc_nodes/CCRenderTexture.h"

#include "gl/ccGLMatrix.h"
#include "gl/ccGLStateCache.h"
#include "sprite_nodes/CCQuadRenderer.h"
#include "sprite_nodes/CCSprite.h"
#include "textures/CCTexture2D.h"

#include "CCGL.h"

#include <ZqLog.h>

#include <vector>

namespace cocos2d {

CCRenderTexture* CCRenderTexture::create(int width, int height)
{
    CCRenderTexture* renderTexture = new CCRenderTexture();
    if (!renderTexture->initWithWidthAndHeight(width, height)) {
        renderTexture->release();
        return nullptr;
    }
    renderTexture->autorelease();
    return renderTexture;
}

CCRenderTexture::~CCRenderTexture()
{
    if (m_bBegun)
        end();
    CC_SAFE_RELEASE(m_pSprite);
    CC_SAFE_RELEASE(m_pTexture);
    if (m_uFBO)
        glDeleteFramebuffers(1, &m_uFBO);
}

bool CCRenderTexture::initWithWidthAndHeight(int width, int height)
{
    if (width <= 0 || height <= 0 || m_pTexture) {
        debugLog("[CCRenderTexture] bad size %dx%d or second init", width, height);
        return false;
    }
    const std::vector<unsigned char> clear(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
    m_pTexture = new CCTexture2D();
    if (!m_pTexture->initWithData(clear.data(), kCCTexture2DPixelFormat_RGBA8888, static_cast<unsigned int>(width),
                                  static_cast<unsigned int>(height),
                                  CCSize(static_cast<float>(width), static_cast<float>(height)))) {
        return false;
    }
    GLint oldFBO = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &oldFBO);
    glGenFramebuffers(1, &m_uFBO);
    glBindFramebuffer(GL_FRAMEBUFFER, m_uFBO);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_pTexture->getName(), 0);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(oldFBO));
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        debugLog("[CCRenderTexture] framebuffer incomplete: 0x%x", status);
        return false;
    }
    m_pSprite = CCSprite::createWithTexture(m_pTexture);
    if (!m_pSprite)
        return false;
    m_pSprite->retain();
    // Texel row 0 is the framebuffer's bottom row, while the sprite shows row 0 at the
    // top: flipped, the content stands upright.
    m_pSprite->setFlipY(true);
    return true;
}

void CCRenderTexture::begin()
{
    if (m_bBegun) {
        debugLog("[CCRenderTexture] begin while begun: ignored");
        return;
    }
    m_bBegun = true;
    // Quads batched so far belong to the previous target.
    ccFlushQuads();
    const CCSize& size = m_pTexture->getContentSize();
    kmGLMatrixMode(KM_GL_PROJECTION);
    kmGLPushMatrix();
    kmMat4 projection;
    kmMat4OrthographicProjection(&projection, 0.0f, size.width, 0.0f, size.height, -1024.0f, 1024.0f);
    kmGLLoadMatrix(&projection);
    kmGLMatrixMode(KM_GL_MODELVIEW);

    glGetIntegerv(GL_VIEWPORT, m_oldViewport);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &m_nOldFBO);
    glBindFramebuffer(GL_FRAMEBUFFER, m_uFBO);
    glViewport(0, 0, static_cast<GLsizei>(size.width), static_cast<GLsizei>(size.height));
}

void CCRenderTexture::beginWithClear(float r, float g, float b, float a)
{
    begin();
    GLfloat oldClear[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, oldClear);
    glClearColor(r, g, b, a);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(oldClear[0], oldClear[1], oldClear[2], oldClear[3]);
}

void CCRenderTexture::end()
{
    if (!m_bBegun) {
        debugLog("[CCRenderTexture] end without begin: ignored");
        return;
    }
    m_bBegun = false;
    ccFlushQuads();
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(m_nOldFBO));
    glViewport(m_oldViewport[0], m_oldViewport[1], m_oldViewport[2], m_oldViewport[3]);
    kmGLMatrixMode(KM_GL_PROJECTION);
    kmGLPopMatrix();
    kmGLMatrixMode(KM_GL_MODELVIEW);
}

void CCRenderTexture::visit()
{
    if (!m_bVisible)
        return;
    kmGLPushMatrix();
    transform();
    m_pSprite->visit();
    kmGLPopMatrix();
}

} // namespace cocos2d
