#pragma once

#include "base/CCGeometry.h"

namespace cocos2d {

// A 2D affine transform mapping (x, y) to (a x + c y + tx, b x + d y + ty).
// Angles are in radians, counter-clockwise positive.
struct CCAffineTransform {
    float a, b, c, d;
    float tx, ty;
};

CCAffineTransform CCAffineTransformMake(float a, float b, float c, float d, float tx, float ty);
CCAffineTransform CCAffineTransformMakeIdentity();
inline constexpr CCAffineTransform CCAffineTransformIdentity{1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};

CCPoint CCPointApplyAffineTransform(const CCPoint& point, const CCAffineTransform& t);
// The linear part only: sizes are not moved by the translation.
CCSize CCSizeApplyAffineTransform(const CCSize& size, const CCAffineTransform& t);
// The axis-aligned bounding box of the transformed rectangle.
CCRect CCRectApplyAffineTransform(const CCRect& rect, const CCAffineTransform& t);

// Each of these applies its step before t: the result maps p to t(step(p)).
CCAffineTransform CCAffineTransformTranslate(const CCAffineTransform& t, float tx, float ty);
CCAffineTransform CCAffineTransformRotate(const CCAffineTransform& t, float angle);
CCAffineTransform CCAffineTransformScale(const CCAffineTransform& t, float sx, float sy);
// t1 then t2: the result maps p to t2(t1(p)).
CCAffineTransform CCAffineTransformConcat(const CCAffineTransform& t1, const CCAffineTransform& t2);
bool CCAffineTransformEqualToTransform(const CCAffineTransform& t1, const CCAffineTransform& t2);
// The inverse; a singular transform (zero or non-finite determinant) is returned unchanged.
CCAffineTransform CCAffineTransformInvert(const CCAffineTransform& t);

// Writes t as a 4x4 column-major matrix into m16 (16 floats); z is left unchanged by
// it (m16[14] = 0: the caller sets a vertex z translation there when it has one).
void CGAffineToGL(const CCAffineTransform* t, float* m16);

} // namespace cocos2d
