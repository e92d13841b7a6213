#include "draw_nodes/CCDrawingPrimitives.h"

#include "gl/CCGLProgram.h"
#include "gl/CCShaderCache.h"
#include "gl/ccGLStateCache.h"
#include "sprite_nodes/CCQuadRenderer.h"
#include "textures/CCTexture2D.h"

#include "CCGL.h"

#include <cmath>
#include <vector>

namespace cocos2d {

namespace {

ccColor4F drawColor{1.0f, 1.0f, 1.0f, 1.0f};
float pointSize = 1.0f;

// Draws vertices (x, y pairs) as mode in color; nothing without the built-in program.
void drawVertices(const std::vector<GLfloat>& vertices, GLenum mode, const ccColor4F& color)
{
    if (vertices.empty())
        return;
    // Batched sprite quads visited before this come first.
    ccFlushQuads();
    CCGLProgram* program = CCShaderCache::sharedShaderCache()->programForKey(kCCShader_Position_uColor);
    if (!program)
        return;
    program->use();
    program->setUniformsForBuiltins();
    program->setUniformLocationWith4f(program->getUniformLocationForName("u_color"), color.r, color.g, color.b,
                                      color.a);
    program->setUniformLocationWith1f(program->getUniformLocationForName("u_pointSize"), pointSize);
    ccGLBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    ccGLEnableVertexAttribs(kCCVertexAttribFlag_Position);
    // Client-side arrays: no buffer may be bound while the pointer is set.
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glVertexAttribPointer(kCCVertexAttrib_Position, 2, GL_FLOAT, GL_FALSE, 0, vertices.data());
    glDrawArrays(mode, 0, static_cast<GLsizei>(vertices.size() / 2));
    CC_INCREMENT_GL_DRAWS(1);
}

std::vector<GLfloat> toVertices(const CCPoint* points, unsigned int count)
{
    std::vector<GLfloat> vertices;
    if (!points)
        return vertices;
    vertices.reserve(static_cast<size_t>(count) * 2);
    for (unsigned int i = 0; i < count; ++i) {
        vertices.push_back(points[i].x);
        vertices.push_back(points[i].y);
    }
    return vertices;
}

std::vector<GLfloat> rectVertices(const CCPoint& origin, const CCPoint& destination)
{
    return {origin.x, origin.y, destination.x, origin.y, destination.x, destination.y, origin.x, destination.y};
}

} // namespace

void ccDrawColor4F(float r, float g, float b, float a)
{
    drawColor = ccColor4F{r, g, b, a};
}

void ccDrawColor4B(GLubyte r, GLubyte g, GLubyte b, GLubyte a)
{
    drawColor = ccc4FFromccc4B(ccColor4B{r, g, b, a});
}

void ccPointSize(float size)
{
    pointSize = size;
}

void ccDrawPoint(const CCPoint& point)
{
    drawVertices({point.x, point.y}, GL_POINTS, drawColor);
}

void ccDrawLine(const CCPoint& origin, const CCPoint& destination)
{
    drawVertices({origin.x, origin.y, destination.x, destination.y}, GL_LINES, drawColor);
}

void ccDrawRect(CCPoint origin, CCPoint destination)
{
    drawVertices(rectVertices(origin, destination), GL_LINE_LOOP, drawColor);
}

void ccDrawSolidRect(CCPoint origin, CCPoint destination, ccColor4F color)
{
    drawVertices(rectVertices(origin, destination), GL_TRIANGLE_FAN, color);
}

void ccDrawPoly(const CCPoint* vertices, unsigned int numberOfVertices, bool closePolygon)
{
    drawVertices(toVertices(vertices, numberOfVertices), closePolygon ? GL_LINE_LOOP : GL_LINE_STRIP, drawColor);
}

void ccDrawSolidPoly(const CCPoint* vertices, unsigned int numberOfVertices, ccColor4F color)
{
    if (numberOfVertices < 3)
        return;
    drawVertices(toVertices(vertices, numberOfVertices), GL_TRIANGLE_FAN, color);
}

void ccDrawCircle(const CCPoint& center, float radius, float angle, unsigned int segments, bool drawLineToCenter)
{
    if (segments == 0)
        return;
    std::vector<GLfloat> vertices;
    vertices.reserve(static_cast<size_t>(segments + 2) * 2);
    const float step = 2.0f * static_cast<float>(M_PI) / static_cast<float>(segments);
    for (unsigned int i = 0; i < segments; ++i) {
        const float a = angle + step * static_cast<float>(i);
        vertices.push_back(center.x + radius * std::cos(a));
        vertices.push_back(center.y + radius * std::sin(a));
    }
    if (drawLineToCenter) {
        // Back to the start, then in to the centre: the strip closes through it.
        vertices.push_back(vertices[0]);
        vertices.push_back(vertices[1]);
        vertices.push_back(center.x);
        vertices.push_back(center.y);
        drawVertices(vertices, GL_LINE_STRIP, drawColor);
        return;
    }
    drawVertices(vertices, GL_LINE_LOOP, drawColor);
}

void ccDrawTexturedTriangles(CCGLProgram* program, CCTexture2D* texture, ccTriangleMode mode,
                             const ccVertex2F* positions, const ccTex2F* texCoords, unsigned int count)
{
    if (!program || !texture || !positions || !texCoords || count < 3)
        return;
    ccFlushQuads();
    program->use();
    program->setUniformsForBuiltins();
    ccGLBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    ccGLBindTexture2D(texture->getName());
    ccGLEnableVertexAttribs(kCCVertexAttribFlag_Position | kCCVertexAttribFlag_TexCoords);
    // Client-side arrays: no buffer may be bound while the pointers are set.
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glVertexAttribPointer(kCCVertexAttrib_Position, 2, GL_FLOAT, GL_FALSE, 0, positions);
    glVertexAttribPointer(kCCVertexAttrib_TexCoords, 2, GL_FLOAT, GL_FALSE, 0, texCoords);
    glDrawArrays(mode == ccTriangleMode::Fan ? GL_TRIANGLE_FAN : GL_TRIANGLE_STRIP, 0, static_cast<GLsizei>(count));
    CC_INCREMENT_GL_DRAWS(1);
}

} // namespace cocos2d
