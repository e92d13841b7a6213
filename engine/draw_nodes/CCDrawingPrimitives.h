#pragma once

#include "base/CCGeometry.h"
#include "base/ccTypes.h"

// Immediate drawing of points, lines and polygons in the current model-view (points,
// y up), for the loading bar and physics debug drawing. Each call is one draw call with
// the "ShaderPosition_uColor" program and client-side arrays, blended by alpha. Needs a
// current GL context.
namespace cocos2d {

class CCGLProgram;
class CCTexture2D;

// The colour of the outline calls (points, lines, rects, polys, circles); starts white.
void ccDrawColor4F(float r, float g, float b, float a);
void ccDrawColor4B(GLubyte r, GLubyte g, GLubyte b, GLubyte a);
// Pixels; starts at 1.
void ccPointSize(float pointSize);
void ccDrawPoint(const CCPoint& point);
void ccDrawLine(const CCPoint& origin, const CCPoint& destination);
// The outline of the axis-aligned rectangle with these opposite corners.
void ccDrawRect(CCPoint origin, CCPoint destination);
// Filled with color; the draw colour stays as it was.
void ccDrawSolidRect(CCPoint origin, CCPoint destination, ccColor4F color);
// An open or closed polyline through the vertices.
void ccDrawPoly(const CCPoint* vertices, unsigned int numberOfVertices, bool closePolygon);
// A filled convex polygon.
void ccDrawSolidPoly(const CCPoint* vertices, unsigned int numberOfVertices, ccColor4F color);
// The outline of a circle from segments chords, starting at angle (radians); with
// drawLineToCenter, a radius line to the start point too.
void ccDrawCircle(const CCPoint& center, float radius, float angle, unsigned int segments, bool drawLineToCenter);

// How ccDrawTexturedTriangles joins its vertices.
enum class ccTriangleMode { Fan, Strip };

// The effects' one drawing call: count vertices (positions in points of the current
// model-view, texture coordinates 0 to 1) joined as mode, drawn with program and texture on
// unit 0 and blended by alpha. Flushes the sprite batch first, so that it covers what was
// visited before it. The caller sets the program's own uniforms (such as "u_color")
// beforehand. Nothing with a null program or texture or fewer than 3 vertices; one draw.
void ccDrawTexturedTriangles(CCGLProgram* program, CCTexture2D* texture, ccTriangleMode mode,
                             const ccVertex2F* positions, const ccTex2F* texCoords, unsigned int count);

} // namespace cocos2d
