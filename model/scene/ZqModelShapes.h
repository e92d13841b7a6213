#pragma once

#include "model/ZqModelRegistry.h"
#include "base/CCGeometry.h"

#include <box2d/box2d.h>

#include <memory>
#include <variant>
#include <vector>

// A fixture definition together with the shape it points at, so that nothing leaks: Box2D
// clones the shape in CreateFixture, and the holder's own copy goes with the holder.
// Copies re-point def.shape at their own storage.
struct ZqFixtureDefinition {
    ZqFixtureDefinition() = default;
    ZqFixtureDefinition(const ZqFixtureDefinition& other);
    ZqFixtureDefinition& operator=(const ZqFixtureDefinition& other);

    // Box2D's defaults: friction 0.2, restitution 0, density 0, not a sensor, category 1,
    // mask 0xFFFF, group 0; shape null when the outline gives no usable shape. Callers
    // change what differs (density, friction, filter, user data) before CreateFixture.
    b2FixtureDef def{};
    // Storage of the shape def.shape points at (metres, y up in the physics world).
    std::variant<std::monostate, b2PolygonShape, b2CircleShape> shape{};

    bool hasShape() const { return def.shape != nullptr; }
    // Stores the shape and points def.shape at it.
    void setShape(const b2PolygonShape& polygon);
    void setShape(const b2CircleShape& circle);
};

// The outline of an asset's physical body in model points (y up): a polygon, or through
// ZqModelCircle a circle. Stored under "points" ([[x, y], ...]) and
// "oneWayCollisionVector" ([x, y]) inside the model's attributes map.
class ZqModelPolygon : public ZqModel {
public:
    // 20 model points make one physics metre.
    static constexpr float kMetresPerPoint = 0.05f;
    // The most points read from the model files, and the most a Box2D polygon takes.
    static constexpr int kMaxVertices = b2_maxPolygonVertices;

    explicit ZqModelPolygon(const std::string& name);
    ZqModelPolygon(const ZqModelPolygon& source);
    ZQ_MODEL_IDENTITY(ZqModelPolygon, ZqModel)
    ZQ_MODEL_FACTORY(ZqModelPolygon)

    void collectKeys() const override;
    void packAttributes(MessagePackMap& map) const override;
    // The model's entries, then "points" and "oneWayCollisionVector" when present; more
    // than kMaxVertices points are cut to the first kMaxVertices. A value of the wrong
    // shape throws msgpack::type_error.
    void unpackAttributes(const MessagePackMap& map) override;
    // Appends "points" (silently, through addPoint) and sets the one-way vector.
    void loadAttributesFromDictionary(cocos2d::CCDictionary* dictionary) override;
    cocos2d::CCDictionary* saveAttributesToDictionary() const override;

    // Point editing; each notifies (ZqModel::notifyChanged) unless silent. Indices out of
    // range change nothing and notify nobody; insertPoint accepts index == count (append).
    virtual void addPoint(const cocos2d::CCPoint& point, bool silent = false);
    virtual void insertPoint(int index, const cocos2d::CCPoint& point, bool silent = false);
    virtual void removePoint(int index, bool silent = false);
    virtual void setPoint(int index, const cocos2d::CCPoint& point, bool silent = false);
    // The editor's convexity test (truncated cross products compared with the first one).
    virtual bool isConvex() const;
    // Appends a box of size (120 x 80 unless both sides are positive) centred at -offset.
    virtual void addDefaultShape(const cocos2d::CCSize& size, const cocos2d::CCPoint& offset, bool silent = false);

    void removeAllPoints() { m_points.clear(); }
    const std::vector<cocos2d::CCPoint>& points() const { return m_points; }
    // (0, 0) when index is out of range.
    cocos2d::CCPoint pointAt(int index) const;
    int pointCount() const { return static_cast<int>(m_points.size()); }
    bool isEmpty() const { return m_points.empty(); }
    // The direction a one-way platform lets bodies through; (0, 0) when two-way.
    cocos2d::CCPoint oneWayCollisionVector() const { return m_oneWayCollisionVector; }
    void setOneWayCollisionVector(const cocos2d::CCPoint& vector) { m_oneWayCollisionVector = vector; }

    // The fixture definition of the outline for a body scaled (scaleX, scaleY): points
    // times (0.05 scaleX, -0.05 scaleY). A polygon gives a shape only for an outline Box2D
    // accepts (see isValidShape); a circle always when it has points.
    ZqFixtureDefinition fixtureDef(float scaleX, float scaleY) const;
    // Whether fixtureDef at that scale carries a shape.
    bool isValidShape(float scaleX, float scaleY) const;

    // Whether two of the first min(n, 8) points lie closer than 0.05 m.
    static bool hasCloseVertices(const b2Vec2* points, int n);
    // Whether Box2D's polygon set-up accepts the first min(n, 8) points: at least three,
    // a convex hull of at least three points with no edge shorter than Box2D's epsilon and
    // an area above it. Box2D aborts the process on anything else.
    static bool isUsablePolygon(const b2Vec2* points, int n);

protected:
    // The first min(count, kMaxVertices) points scaled into metres.
    std::vector<b2Vec2> scaledPoints(float scaleX, float scaleY) const;

private:
    std::vector<cocos2d::CCPoint> m_points;
    cocos2d::CCPoint m_oneWayCollisionVector;
};

// A circle: point 0 is the centre, point 1 a point on the rim; never more than two points
// through its own operations.
class ZqModelCircle : public ZqModelPolygon {
public:
    using ZqModelPolygon::ZqModelPolygon;
    ZqModelCircle(const ZqModelCircle& source) : ZqModelPolygon(source) {}
    ZQ_MODEL_IDENTITY(ZqModelCircle, ZqModelPolygon)
    ZQ_MODEL_FACTORY(ZqModelCircle)

    // Appends only while fewer than two points.
    void addPoint(const cocos2d::CCPoint& point, bool silent = false) override;
    // Builds the default circle (centre (0, 0), radius 30) when empty; else nothing.
    void insertPoint(int index, const cocos2d::CCPoint& point, bool silent = false) override;
    // Removes every point (whatever the index) when there are any.
    void removePoint(int index, bool silent = false) override;
    // Moving the centre (index 0) moves the rim point with it, keeping the radius.
    void setPoint(int index, const cocos2d::CCPoint& point, bool silent = false) override;
    bool isConvex() const override { return true; }
    // Radius (height + width) / 5 when either side is positive, else 30, centred at -offset.
    void addDefaultShape(const cocos2d::CCSize& size, const cocos2d::CCPoint& offset, bool silent = false) override;

    // Distance from point 0 to point 1 (to (0, 0) with only a centre); 0 when empty.
    float radius() const;
};
