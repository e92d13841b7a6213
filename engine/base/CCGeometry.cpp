#include "base/CCGeometry.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>

namespace cocos2d {

bool CCPoint::fuzzyEquals(const CCPoint& target, float var) const
{
    return x - var <= target.x && target.x <= x + var && y - var <= target.y && target.y <= y + var;
}

float CCPoint::getLength() const
{
    return std::sqrt(getLengthSq());
}

float CCPoint::getAngle() const
{
    return std::atan2(y, x);
}

float CCPoint::getAngle(const CCPoint& other) const
{
    // atan2 of cross and dot needs no normalisation, so zero vectors give 0, not NaN.
    const float angle = std::atan2(cross(other), dot(other));
    return std::fabs(angle) < FLT_EPSILON ? 0.0f : angle;
}

CCPoint CCPoint::normalize() const
{
    const float length = getLength();
    if (length == 0.0f)
        return CCPoint(1.0f, 0.0f);
    return *this / length;
}

CCPoint CCPoint::rotate(const CCPoint& other) const
{
    return CCPoint(x * other.x - y * other.y, x * other.y + y * other.x);
}

CCPoint CCPoint::rotateByAngle(const CCPoint& pivot, float angle) const
{
    return pivot + (*this - pivot).rotate(forAngle(angle));
}

CCPoint CCPoint::forAngle(float a)
{
    return CCPoint(std::cos(a), std::sin(a));
}

float CCRect::getMinX() const
{
    return std::min(origin.x, origin.x + size.width);
}

float CCRect::getMaxX() const
{
    return std::max(origin.x, origin.x + size.width);
}

float CCRect::getMinY() const
{
    return std::min(origin.y, origin.y + size.height);
}

float CCRect::getMaxY() const
{
    return std::max(origin.y, origin.y + size.height);
}

bool CCRect::containsPoint(const CCPoint& point) const
{
    return point.x >= getMinX() && point.x <= getMaxX() && point.y >= getMinY() && point.y <= getMaxY();
}

bool CCRect::intersectsRect(const CCRect& rect) const
{
    return !(getMaxX() < rect.getMinX() || rect.getMaxX() < getMinX() || getMaxY() < rect.getMinY()
             || rect.getMaxY() < getMinY());
}

CCRect CCRect::unionWithRect(const CCRect& rect) const
{
    const float minX = std::min(getMinX(), rect.getMinX());
    const float minY = std::min(getMinY(), rect.getMinY());
    const float maxX = std::max(getMaxX(), rect.getMaxX());
    const float maxY = std::max(getMaxY(), rect.getMaxY());
    return CCRect(minX, minY, maxX - minX, maxY - minY);
}

namespace {

// Solves A + s (B - A) = C + t (D - C). Parallel and collinear lines have no single
// solution: false, so callers never divide by a zero denominator.
bool lineIntersect(const CCPoint& A, const CCPoint& B, const CCPoint& C, const CCPoint& D, float* s, float* t)
{
    const CCPoint ab = B - A;
    const CCPoint cd = D - C;
    const CCPoint ca = A - C;
    const float denom = ab.cross(cd);
    if (denom == 0.0f)
        return false;
    *s = cd.x * ca.y - cd.y * ca.x;
    *t = ab.x * ca.y - ab.y * ca.x;
    *s /= denom;
    *t /= denom;
    return std::isfinite(*s) && std::isfinite(*t);
}

}

bool ccpSegmentIntersect(const CCPoint& A, const CCPoint& B, const CCPoint& C, const CCPoint& D)
{
    float s = 0.0f;
    float t = 0.0f;
    return lineIntersect(A, B, C, D, &s, &t) && s >= 0.0f && s <= 1.0f && t >= 0.0f && t <= 1.0f;
}

CCPoint ccpIntersectPoint(const CCPoint& A, const CCPoint& B, const CCPoint& C, const CCPoint& D)
{
    float s = 0.0f;
    float t = 0.0f;
    if (!lineIntersect(A, B, C, D, &s, &t))
        return CCPointZero;
    return A + (B - A) * s;
}

namespace {

// A tiny reader over the brace texts; every step fails softly on anything unexpected.
struct BraceReader {
    const char* p;

    void skipSpaces()
    {
        while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r')
            ++p;
    }

    bool expect(char c)
    {
        skipSpaces();
        if (*p != c)
            return false;
        ++p;
        return true;
    }

    bool number(float* out)
    {
        skipSpaces();
        char* end = nullptr;
        const double value = std::strtod(p, &end);
        // Reject no digits, inf and nan texts, and values a float cannot hold (their
        // conversion would be undefined).
        if (end == p || !std::isfinite(value) || std::fabs(value) > FLT_MAX)
            return false;
        p = end;
        *out = static_cast<float>(value);
        return true;
    }

    bool pair(float* a, float* b)
    {
        return expect('{') && number(a) && expect(',') && number(b) && expect('}');
    }

    bool atEnd()
    {
        skipSpaces();
        return *p == '\0';
    }
};

}

CCPoint CCPointFromString(const char* text)
{
    if (!text)
        return CCPointZero;
    BraceReader reader{text};
    CCPoint point;
    if (!reader.pair(&point.x, &point.y) || !reader.atEnd())
        return CCPointZero;
    return point;
}

CCSize CCSizeFromString(const char* text)
{
    if (!text)
        return CCSizeZero;
    BraceReader reader{text};
    CCSize size;
    if (!reader.pair(&size.width, &size.height) || !reader.atEnd())
        return CCSizeZero;
    return size;
}

CCRect CCRectFromString(const char* text)
{
    if (!text)
        return CCRectZero;
    BraceReader reader{text};
    CCRect rect;
    if (!reader.expect('{') || !reader.pair(&rect.origin.x, &rect.origin.y) || !reader.expect(',')
        || !reader.pair(&rect.size.width, &rect.size.height) || !reader.expect('}') || !reader.atEnd())
        return CCRectZero;
    return rect;
}

} // namespace cocos2d
