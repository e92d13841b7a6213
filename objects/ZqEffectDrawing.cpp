#include "objects/ZqEffectDrawing.h"

#include "model/ZqModelController.h"
#include "model/scene/ZqModelMedia.h"

using namespace cocos2d;

CCTexture2D* ZqEffectDrawing::texture(const std::shared_ptr<ZqModelSpriteContainer>& container,
                                      const std::string& fallback)
{
    if (container) {
        if (CCTexture2D* texture = container->textureAt(0))
            return texture;
    }
    const std::string path = ZqModelController::shared()->dataDirectory() + fallback;
    return CCTextureCache::sharedTextureCache()->addImage(path.c_str());
}

ZqEffectDrawing::ZqEffectDrawing()
    : m_program(CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionTexture_uColor))
{
    if (m_program)
        m_colorLocation = m_program->getUniformLocationForName("u_color");
}

void ZqEffectDrawing::draw(CCTexture2D* texture, ccTriangleMode mode, const ccVertex2F* positions,
                           const ccTex2F* texCoords, unsigned int count, const ccColor4F& colour) const
{
    if (!m_program || !texture)
        return;
    m_program->use();
    m_program->setUniformLocationWith4f(m_colorLocation, colour.r, colour.g, colour.b, colour.a);
    ccDrawTexturedTriangles(m_program, texture, mode, positions, texCoords, count);
}
