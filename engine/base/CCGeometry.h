#pragma once

namespace cocos2d {

// A point or vector in points (design units), y up. Angles are in radians,
// counter-clockwise positive.
struct CCPoint {
    float x = 0.0f;
    float y = 0.0f;

    constexpr CCPoint() = default;
    constexpr CCPoint(float px, float py) : x(px), y(py) {}

    CCPoint operator+(const CCPoint& other) const { return CCPoint(x + other.x, y + other.y); }
    CCPoint operator-(const CCPoint& other) const { return CCPoint(x - other.x, y - other.y); }
    CCPoint operator-() const { return CCPoint(-x, -y); }
    CCPoint operator*(float s) const { return CCPoint(x * s, y * s); }
    // Precondition: s != 0 (IEEE division otherwise).
    CCPoint operator/(float s) const { return CCPoint(x / s, y / s); }
    bool operator==(const CCPoint& other) const { return x == other.x && y == other.y; }
    bool operator!=(const CCPoint& other) const { return !(*this == other); }

    // Exact comparison, the same as ==.
    bool equals(const CCPoint& target) const { return *this == target; }
    // True when each coordinate of target lies within var of this one.
    bool fuzzyEquals(const CCPoint& target, float var) const;

    float getLength() const;
    float getLengthSq() const { return dot(*this); }
    float getDistance(const CCPoint& other) const { return (*this - other).getLength(); }
    // atan2(y, x), in (-pi, pi].
    float getAngle() const;
    // Signed angle turning this vector onto other, in (-pi, pi]; 0 when either is zero.
    float getAngle(const CCPoint& other) const;

    float dot(const CCPoint& other) const { return x * other.x + y * other.y; }
    // z of the 3D cross product: positive when other lies counter-clockwise of this.
    float cross(const CCPoint& other) const { return x * other.y - y * other.x; }
    // Unit vector of the same direction; the zero vector gives (1, 0), never NaN.
    CCPoint normalize() const;
    // Complex multiplication: rotates this by other's angle and scales it by other's length.
    CCPoint rotate(const CCPoint& other) const;
    // This point turned counter-clockwise by angle (radians) about pivot.
    CCPoint rotateByAngle(const CCPoint& pivot, float angle) const;
    // this at alpha 0, other at alpha 1.
    CCPoint lerp(const CCPoint& other, float alpha) const { return *this * (1.0f - alpha) + other * alpha; }

    // The unit vector (cos a, sin a).
    static CCPoint forAngle(float a);
};

// A size in points.
struct CCSize {
    float width = 0.0f;
    float height = 0.0f;

    constexpr CCSize() = default;
    constexpr CCSize(float w, float h) : width(w), height(h) {}

    bool operator==(const CCSize& other) const { return width == other.width && height == other.height; }
    bool operator!=(const CCSize& other) const { return !(*this == other); }
    bool equals(const CCSize& target) const { return *this == target; }
};

// A rectangle: origin is its lower-left corner for a positive size. A negative
// width or height extends the rectangle left or down from origin (a mirrored node's
// box); the min/max accessors and the tests below take that into account.
struct CCRect {
    CCPoint origin;
    CCSize size;

    constexpr CCRect() = default;
    constexpr CCRect(float x, float y, float w, float h) : origin(x, y), size(w, h) {}

    float getMinX() const;
    float getMidX() const { return origin.x + size.width * 0.5f; }
    float getMaxX() const;
    float getMinY() const;
    float getMidY() const { return origin.y + size.height * 0.5f; }
    float getMaxY() const;

    bool operator==(const CCRect& other) const { return origin == other.origin && size == other.size; }
    bool operator!=(const CCRect& other) const { return !(*this == other); }
    bool equals(const CCRect& rect) const { return *this == rect; }
    // Edges included.
    bool containsPoint(const CCPoint& point) const;
    // Rectangles that only touch along an edge intersect.
    bool intersectsRect(const CCRect& rect) const;
    // The smallest rectangle holding both (a zero rectangle counts as the point at its origin).
    CCRect unionWithRect(const CCRect& rect) const;
    // The game code's name for unionWithRect.
    CCRect united(const CCRect& rect) const { return unionWithRect(rect); }
};

inline constexpr CCPoint CCPointZero{};
inline constexpr CCSize CCSizeZero{};
inline constexpr CCRect CCRectZero{};

inline CCPoint ccp(float x, float y) { return CCPoint(x, y); }
inline CCPoint CCPointMake(float x, float y) { return CCPoint(x, y); }
inline CCSize CCSizeMake(float width, float height) { return CCSize(width, height); }
inline CCRect CCRectMake(float x, float y, float width, float height) { return CCRect(x, y, width, height); }

inline CCPoint ccpAdd(const CCPoint& a, const CCPoint& b) { return a + b; }
inline CCPoint ccpSub(const CCPoint& a, const CCPoint& b) { return a - b; }
inline CCPoint ccpMult(const CCPoint& v, float s) { return v * s; }
inline CCPoint ccpNeg(const CCPoint& v) { return -v; }
inline CCPoint ccpCompMult(const CCPoint& a, const CCPoint& b) { return CCPoint(a.x * b.x, a.y * b.y); }
inline float ccpDot(const CCPoint& a, const CCPoint& b) { return a.dot(b); }
inline float ccpLength(const CCPoint& v) { return v.getLength(); }
inline float ccpDistance(const CCPoint& a, const CCPoint& b) { return a.getDistance(b); }
inline CCPoint ccpNormalize(const CCPoint& v) { return v.normalize(); }
inline CCPoint ccpLerp(const CCPoint& a, const CCPoint& b, float alpha) { return a.lerp(b, alpha); }
inline CCPoint ccpForAngle(float a) { return CCPoint::forAngle(a); }
inline float ccpToAngle(const CCPoint& v) { return v.getAngle(); }
inline CCPoint ccpRotateByAngle(const CCPoint& v, const CCPoint& pivot, float angle)
{
    return v.rotateByAngle(pivot, angle);
}

// Whether segment A-B crosses segment C-D (end points included). Parallel segments,
// collinear ones included, have no single crossing point and give false.
bool ccpSegmentIntersect(const CCPoint& A, const CCPoint& B, const CCPoint& C, const CCPoint& D);
// The crossing point of the lines through A-B and C-D; CCPointZero for parallel lines.
CCPoint ccpIntersectPoint(const CCPoint& A, const CCPoint& B, const CCPoint& C, const CCPoint& D);

// Readers of the texts "{x,y}", "{w,h}" and "{{x,y},{w,h}}" (as written with "%.2f"
// or "%f"; spaces between tokens allowed). Null, empty or malformed text, and numbers
// that are not finite floats, give the zero value.
CCPoint CCPointFromString(const char* text);
CCSize CCSizeFromString(const char* text);
CCRect CCRectFromString(const char* text);

} // namespace cocos2d
