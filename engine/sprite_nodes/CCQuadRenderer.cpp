#include "sprite_nodes/CCQuadRenderer.h"

#include "CCGL.h"
#include "gl/CCGLProgram.h"
#include "gl/ccGLMatrix.h"
#include "gl/ccGLStateCache.h"

#include <cstddef>

namespace cocos2d {

namespace {

void transformVertex(const kmMat4& m, ccVertex3F& v)
{
    const float x = v.x;
    const float y = v.y;
    const float z = v.z;
    v.x = m.mat[0] * x + m.mat[4] * y + m.mat[8] * z + m.mat[12];
    v.y = m.mat[1] * x + m.mat[5] * y + m.mat[9] * z + m.mat[13];
    v.z = m.mat[2] * x + m.mat[6] * y + m.mat[10] * z + m.mat[14];
}

} // namespace

CCQuadRenderer* CCQuadRenderer::sharedRenderer()
{
    static CCQuadRenderer renderer;
    return &renderer;
}

void CCQuadRenderer::addQuad(const ccV3F_C4B_T2F_Quad& quad, unsigned int texture, const ccBlendFunc& blend,
                             CCGLProgram* program)
{
    if (!m_quads.empty()
        && (texture != m_uTexture || blend.src != m_tBlend.src || blend.dst != m_tBlend.dst || program != m_pProgram))
        flush();
    if (m_quads.empty()) {
        m_uTexture = texture;
        m_tBlend = blend;
        program->retain();
        m_pProgram = program;
    }
    kmMat4 modelView;
    kmGLGetMatrix(KM_GL_MODELVIEW, &modelView);
    ccV3F_C4B_T2F_Quad world = quad;
    transformVertex(modelView, world.bl.vertices);
    transformVertex(modelView, world.br.vertices);
    transformVertex(modelView, world.tl.vertices);
    transformVertex(modelView, world.tr.vertices);
    m_quads.push_back(world);
    if (!m_bBatching)
        flush();
}

void CCQuadRenderer::flush()
{
    if (m_quads.empty())
        return;
    const size_t quadCount = m_quads.size();
    // Two triangles a quad: bl, br, tl and tr, tl, br.
    while (m_indices.size() < quadCount * 6) {
        const unsigned int base = static_cast<unsigned int>(m_indices.size() / 6 * 4);
        for (unsigned int offset : {0u, 1u, 2u, 3u, 2u, 1u})
            m_indices.push_back(base + offset);
    }

    // The vertices are in world space already: draw with an identity model-view.
    kmGLMatrixMode(KM_GL_MODELVIEW);
    kmGLPushMatrix();
    kmGLLoadIdentity();
    m_pProgram->use();
    m_pProgram->setUniformsForBuiltins();
    kmGLPopMatrix();

    ccGLBindTexture2D(m_uTexture);
    ccGLBlendFunc(m_tBlend.src, m_tBlend.dst);
    ccGLEnableVertexAttribs(kCCVertexAttribFlag_PosColorTex);
    // Client-side arrays: no buffer object may be bound while they are read.
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    const GLsizei stride = sizeof(ccV3F_C4B_T2F);
    const auto* first = reinterpret_cast<const unsigned char*>(m_quads.data());
    glVertexAttribPointer(kCCVertexAttrib_Position, 3, GL_FLOAT, GL_FALSE, stride,
                          first + offsetof(ccV3F_C4B_T2F, vertices));
    glVertexAttribPointer(kCCVertexAttrib_Color, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          first + offsetof(ccV3F_C4B_T2F, colors));
    glVertexAttribPointer(kCCVertexAttrib_TexCoords, 2, GL_FLOAT, GL_FALSE, stride,
                          first + offsetof(ccV3F_C4B_T2F, texCoords));
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(quadCount * 6), GL_UNSIGNED_INT, m_indices.data());
    CC_INCREMENT_GL_DRAWS(1);

    m_quads.clear();
    CC_SAFE_RELEASE_NULL(m_pProgram);
}

void CCQuadRenderer::setBatchingEnabled(bool enabled)
{
    flush();
    m_bBatching = enabled;
}

void ccFlushQuads()
{
    CCQuadRenderer::sharedRenderer()->flush();
}

} // namespace cocos2d
