#include "base/CCAffineTransform.h"

#include <algorithm>
#include <cmath>

namespace cocos2d {

CCAffineTransform CCAffineTransformMake(float a, float b, float c, float d, float tx, float ty)
{
    return CCAffineTransform{a, b, c, d, tx, ty};
}

CCAffineTransform CCAffineTransformMakeIdentity()
{
    return CCAffineTransformIdentity;
}

CCPoint CCPointApplyAffineTransform(const CCPoint& point, const CCAffineTransform& t)
{
    return CCPoint(t.a * point.x + t.c * point.y + t.tx, t.b * point.x + t.d * point.y + t.ty);
}

CCSize CCSizeApplyAffineTransform(const CCSize& size, const CCAffineTransform& t)
{
    return CCSize(t.a * size.width + t.c * size.height, t.b * size.width + t.d * size.height);
}

CCRect CCRectApplyAffineTransform(const CCRect& rect, const CCAffineTransform& t)
{
    const float left = rect.getMinX();
    const float right = rect.getMaxX();
    const float bottom = rect.getMinY();
    const float top = rect.getMaxY();
    const CCPoint corners[4] = {
        CCPointApplyAffineTransform(CCPoint(left, bottom), t),
        CCPointApplyAffineTransform(CCPoint(right, bottom), t),
        CCPointApplyAffineTransform(CCPoint(left, top), t),
        CCPointApplyAffineTransform(CCPoint(right, top), t),
    };
    float minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
    for (const CCPoint& p : corners) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    return CCRect(minX, minY, maxX - minX, maxY - minY);
}

CCAffineTransform CCAffineTransformTranslate(const CCAffineTransform& t, float tx, float ty)
{
    return CCAffineTransformMake(t.a, t.b, t.c, t.d, t.tx + t.a * tx + t.c * ty, t.ty + t.b * tx + t.d * ty);
}

CCAffineTransform CCAffineTransformRotate(const CCAffineTransform& t, float angle)
{
    const float s = std::sin(angle);
    const float co = std::cos(angle);
    return CCAffineTransformMake(t.a * co + t.c * s, t.b * co + t.d * s, t.c * co - t.a * s,
                                 t.d * co - t.b * s, t.tx, t.ty);
}

CCAffineTransform CCAffineTransformScale(const CCAffineTransform& t, float sx, float sy)
{
    return CCAffineTransformMake(t.a * sx, t.b * sx, t.c * sy, t.d * sy, t.tx, t.ty);
}

CCAffineTransform CCAffineTransformConcat(const CCAffineTransform& t1, const CCAffineTransform& t2)
{
    return CCAffineTransformMake(t1.a * t2.a + t1.b * t2.c, t1.a * t2.b + t1.b * t2.d,
                                 t1.c * t2.a + t1.d * t2.c, t1.c * t2.b + t1.d * t2.d,
                                 t1.tx * t2.a + t1.ty * t2.c + t2.tx, t1.tx * t2.b + t1.ty * t2.d + t2.ty);
}

bool CCAffineTransformEqualToTransform(const CCAffineTransform& t1, const CCAffineTransform& t2)
{
    return t1.a == t2.a && t1.b == t2.b && t1.c == t2.c && t1.d == t2.d && t1.tx == t2.tx && t1.ty == t2.ty;
}

CCAffineTransform CCAffineTransformInvert(const CCAffineTransform& t)
{
    const float det = t.a * t.d - t.b * t.c;
    // A collapsed transform has no inverse; dividing by its determinant would fill the
    // result with infinities and NaN.
    if (det == 0.0f || !std::isfinite(det) || !std::isfinite(1.0f / det))
        return t;
    const float inv = 1.0f / det;
    return CCAffineTransformMake(inv * t.d, -inv * t.b, -inv * t.c, inv * t.a,
                                 inv * (t.c * t.ty - t.d * t.tx), inv * (t.b * t.tx - t.a * t.ty));
}

void CGAffineToGL(const CCAffineTransform* t, float* m16)
{
    m16[0] = t->a;
    m16[1] = t->b;
    m16[2] = 0.0f;
    m16[3] = 0.0f;
    m16[4] = t->c;
    m16[5] = t->d;
    m16[6] = 0.0f;
    m16[7] = 0.0f;
    m16[8] = 0.0f;
    m16[9] = 0.0f;
    m16[10] = 1.0f;
    m16[11] = 0.0f;
    m16[12] = t->tx;
    m16[13] = t->ty;
    m16[14] = 0.0f;
    m16[15] = 1.0f;
}

} // namespace cocos2d
