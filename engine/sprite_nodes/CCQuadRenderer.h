#pragma once

#include "base/ccTypes.h"

#include <vector>

namespace cocos2d {

class CCGLProgram;

// One vertex of a textured, coloured quad: position in points, colour, texture coordinate.
struct ccV3F_C4B_T2F {
    ccVertex3F vertices;
    ccColor4B colors;
    ccTex2F texCoords;
};

// A quad's four corners.
struct ccV3F_C4B_T2F_Quad {
    ccV3F_C4B_T2F bl;
    ccV3F_C4B_T2F br;
    ccV3F_C4B_T2F tl;
    ccV3F_C4B_T2F tr;
};

// Draws the quads of sprites, glyphs and particles. Consecutive quads of one texture,
// blend function and program are collected and drawn with one draw call; the batch is
// drawn when one of the three changes, and on flush().
//
// Quads are moved into world space with the model-view matrix current when they are
// added, so the nodes in between may change the matrix freely. Any code that draws
// with GL by other means calls ccFlushQuads() first, so that it covers the quads
// visited before it; the frame's end calls it before the picture is shown or read.
class CCQuadRenderer {
public:
    static CCQuadRenderer* sharedRenderer();

    // quad is in the space of the current model-view matrix. program must be non-null;
    // it is retained until its batch is drawn.
    void addQuad(const ccV3F_C4B_T2F_Quad& quad, unsigned int texture, const ccBlendFunc& blend,
                 CCGLProgram* program);
    // Draws the collected quads, if any. Needs a current GL context when there are some.
    void flush();

    // With batching off every quad is drawn with its own call (the benchmark's baseline).
    void setBatchingEnabled(bool enabled);
    bool isBatchingEnabled() const { return m_bBatching; }
    unsigned int getPendingQuadCount() const { return static_cast<unsigned int>(m_quads.size()); }

private:
    CCQuadRenderer() = default;

    std::vector<ccV3F_C4B_T2F_Quad> m_quads;
    std::vector<unsigned int> m_indices;
    unsigned int m_uTexture = 0;
    ccBlendFunc m_tBlend;
    CCGLProgram* m_pProgram = nullptr;
    bool m_bBatching = true;
};

// CCQuadRenderer::sharedRenderer()->flush().
void ccFlushQuads();

} // namespace cocos2d
