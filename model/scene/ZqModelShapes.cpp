#include "model/scene/ZqModelShapes.h"

#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "cocos2d.h"

#include <ZqNumeric.h>

#include <algorithm>
#include <cfloat>
#include <cmath>

using namespace cocos2d;

namespace {

// The shape the variant holds, else null.
b2Shape* heldShape(std::variant<std::monostate, b2PolygonShape, b2CircleShape>& shape)
{
    if (auto* polygon = std::get_if<b2PolygonShape>(&shape))
        return polygon;
    return std::get_if<b2CircleShape>(&shape);
}

} // namespace

ZqFixtureDefinition::ZqFixtureDefinition(const ZqFixtureDefinition& other)
    : def(other.def), shape(other.shape)
{
    def.shape = other.def.shape ? heldShape(shape) : nullptr;
}

ZqFixtureDefinition& ZqFixtureDefinition::operator=(const ZqFixtureDefinition& other)
{
    def = other.def;
    shape = other.shape;
    def.shape = other.def.shape ? heldShape(shape) : nullptr;
    return *this;
}

void ZqFixtureDefinition::setShape(const b2PolygonShape& polygon)
{
    def.shape = &shape.emplace<b2PolygonShape>(polygon);
}

void ZqFixtureDefinition::setShape(const b2CircleShape& circle)
{
    def.shape = &shape.emplace<b2CircleShape>(circle);
}

ZqModelPolygon::ZqModelPolygon(const std::string& name)
    : ZqModel(name)
{
}

ZqModelPolygon::ZqModelPolygon(const ZqModelPolygon& source)
    : ZqModel(source), m_points(source.m_points), m_oneWayCollisionVector(source.m_oneWayCollisionVector)
{
}

void ZqModelPolygon::collectKeys() const
{
    ZqModel::collectKeys();
    keyNameSet().insert("points");
    keyNameSet().insert("oneWayCollisionVector");
}

void ZqModelPolygon::packAttributes(MessagePackMap& map) const
{
    ZqModel::packAttributes(map);
    map.setPointArray("points", m_points);
    map.setPoint("oneWayCollisionVector", m_oneWayCollisionVector);
}

void ZqModelPolygon::unpackAttributes(const MessagePackMap& map)
{
    ZqModel::unpackAttributes(map);
    std::vector<CCPoint> points;
    if (map.getPointArray("points", points))
        m_points = std::move(points);
    float vector[2];
    if (map.getFloats("oneWayCollisionVector", vector, 2))
        m_oneWayCollisionVector = CCPoint(vector[0], vector[1]);
    if (m_points.size() > static_cast<std::size_t>(kMaxVertices))
        m_points.resize(kMaxVertices);
}

void ZqModelPolygon::loadAttributesFromDictionary(CCDictionary* dictionary)
{
    ZqModel::loadAttributesFromDictionary(dictionary);
    if (!dictionary)
        return;
    if (auto* points = dynamic_cast<CCArray*>(dictionary->objectForKey("points"))) {
        CCObject* element = nullptr;
        CCARRAY_FOREACH(points, element)
        {
            if (auto* text = dynamic_cast<CCString*>(element))
                addPoint(text->pointValue(), true);
        }
    }
    m_oneWayCollisionVector = dictionary->valueForKey("oneWayCollisionVector")->pointValue();
}

CCDictionary* ZqModelPolygon::saveAttributesToDictionary() const
{
    CCDictionary* dictionary = ZqModel::saveAttributesToDictionary();
    CCArray* points = CCArray::createWithCapacity(static_cast<unsigned int>(m_points.size()));
    for (const CCPoint& point : m_points)
        points->addObject(CCString::createWithFormat("{%f,%f}", point.x, point.y));
    dictionary->setObject(points, "points");
    dictionary->setObject(CCString::createWithFormat("{%f,%f}", m_oneWayCollisionVector.x, m_oneWayCollisionVector.y),
                          "oneWayCollisionVector");
    return dictionary;
}

void ZqModelPolygon::addPoint(const CCPoint& point, bool silent)
{
    m_points.push_back(point);
    if (!silent)
        notifyChanged();
}

void ZqModelPolygon::insertPoint(int index, const CCPoint& point, bool silent)
{
    if (index < 0 || index > pointCount())
        return;
    m_points.insert(m_points.begin() + index, point);
    if (!silent)
        notifyChanged();
}

void ZqModelPolygon::removePoint(int index, bool silent)
{
    if (index < 0 || index >= pointCount())
        return;
    m_points.erase(m_points.begin() + index);
    if (!silent)
        notifyChanged();
}

void ZqModelPolygon::setPoint(int index, const CCPoint& point, bool silent)
{
    if (index < 0 || index >= pointCount())
        return;
    m_points[index] = point;
    if (!silent)
        notifyChanged();
}

bool ZqModelPolygon::isConvex() const
{
    const int n = pointCount();
    if (n < 3)
        return false;
    int first = 0;
    for (int i = 0; i < n; ++i) {
        const CCPoint& p0 = m_points[i];
        const CCPoint& p1 = m_points[(i + 1) % n];
        const CCPoint& p2 = m_points[(i + 2) % n];
        const float dx = p1.x - p0.x;
        const float dy = p1.y - p0.y;
        const float cross = dy * p2.x - dx * p2.y + dx * p0.y - dy * p0.x;
        const int s = zqSaturatingInt(cross);
        if (i == 0) {
            first = s;
            continue;
        }
        if ((s >= 0 && first < 0) || (s <= 0 && first > 0))
            return false;
    }
    return true;
}

void ZqModelPolygon::addDefaultShape(const CCSize& size, const CCPoint& offset, bool silent)
{
    double w = 120.0;
    double h = 80.0;
    if (size.width > 0.0f && size.height > 0.0f) {
        w = size.width;
        h = size.height;
    }
    const double ox = offset.x;
    const double oy = offset.y;
    auto corner = [&](double x, double y) {
        return CCPoint(static_cast<float>(x - ox), static_cast<float>(y - oy));
    };
    addPoint(corner(-w / 2, -h / 2), true);
    addPoint(corner(w / 2, -h / 2), true);
    addPoint(corner(w / 2, h / 2), true);
    addPoint(corner(-w / 2, h / 2), true);
    if (!silent)
        notifyChanged();
}

CCPoint ZqModelPolygon::pointAt(int index) const
{
    if (index < 0 || index >= pointCount())
        return CCPoint();
    return m_points[index];
}

std::vector<b2Vec2> ZqModelPolygon::scaledPoints(float scaleX, float scaleY) const
{
    const float fx = scaleX * kMetresPerPoint;
    const float fy = scaleY * -kMetresPerPoint;
    const std::size_t n = std::min<std::size_t>(m_points.size(), kMaxVertices);
    std::vector<b2Vec2> scaled;
    scaled.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        scaled.emplace_back(m_points[i].x * fx, m_points[i].y * fy);
    return scaled;
}

bool ZqModelPolygon::hasCloseVertices(const b2Vec2* points, int n)
{
    const int m = std::min(n, kMaxVertices);
    for (int i = 0; i < m; ++i) {
        for (int j = 0; j < i; ++j) {
            const float dy = points[i].y - points[j].y;
            const float dx = points[i].x - points[j].x;
            if (dy * dy + dx * dx < 0.0025f)
                return true;
        }
    }
    return false;
}

bool ZqModelPolygon::isUsablePolygon(const b2Vec2* points, int count)
{
    // The same steps, in the same float arithmetic, as b2PolygonShape::Set and its
    // centroid, so that every outline accepted here passes Box2D's assertions.
    const int n0 = std::min(count, kMaxVertices);
    if (n0 < 3)
        return false;
    b2Vec2 ps[b2_maxPolygonVertices];
    int n = 0;
    const float weld = (0.5f * b2_linearSlop) * (0.5f * b2_linearSlop);
    for (int i = 0; i < n0; ++i) {
        bool unique = true;
        for (int j = 0; j < n; ++j) {
            if (b2DistanceSquared(points[i], ps[j]) < weld) {
                unique = false;
                break;
            }
        }
        if (unique)
            ps[n++] = points[i];
    }
    if (n < 3)
        return false;

    int i0 = 0;
    float x0 = ps[0].x;
    for (int i = 1; i < n; ++i) {
        const float x = ps[i].x;
        if (x > x0 || (x == x0 && ps[i].y < ps[i0].y)) {
            i0 = i;
            x0 = x;
        }
    }
    int hull[b2_maxPolygonVertices];
    int m = 0;
    int ih = i0;
    for (;;) {
        // Box2D asserts here; odd float data (NaN) could otherwise wrap forever.
        if (m >= b2_maxPolygonVertices)
            return false;
        hull[m] = ih;
        int ie = 0;
        for (int j = 1; j < n; ++j) {
            if (ie == ih) {
                ie = j;
                continue;
            }
            const b2Vec2 r = ps[ie] - ps[hull[m]];
            const b2Vec2 v = ps[j] - ps[hull[m]];
            const float c = b2Cross(r, v);
            if (c < 0.0f)
                ie = j;
            if (c == 0.0f && v.LengthSquared() > r.LengthSquared())
                ie = j;
        }
        ++m;
        ih = ie;
        if (ie == i0)
            break;
    }
    if (m < 3)
        return false;

    b2Vec2 vs[b2_maxPolygonVertices];
    for (int i = 0; i < m; ++i)
        vs[i] = ps[hull[i]];
    for (int i = 0; i < m; ++i) {
        const b2Vec2 edge = vs[i + 1 < m ? i + 1 : 0] - vs[i];
        if (!(edge.LengthSquared() > b2_epsilon * b2_epsilon))
            return false;
    }
    float area = 0.0f;
    const b2Vec2 s = vs[0];
    for (int i = 0; i < m; ++i) {
        const b2Vec2 p1 = vs[0] - s;
        const b2Vec2 p2 = vs[i] - s;
        const b2Vec2 p3 = i + 1 < m ? vs[i + 1] - s : vs[0] - s;
        area += 0.5f * b2Cross(p2 - p1, p3 - p1);
    }
    return area > b2_epsilon;
}

ZqFixtureDefinition ZqModelPolygon::fixtureDef(float scaleX, float scaleY) const
{
    ZqFixtureDefinition holder;
    const std::vector<b2Vec2> points = scaledPoints(scaleX, scaleY);
    const int n = static_cast<int>(points.size());
    if (n == 0)
        return holder;
    if (typeId() == ZqModelPolygon::staticTypeId()) {
        if (n >= 3 && !hasCloseVertices(points.data(), n) && isUsablePolygon(points.data(), n)) {
            b2PolygonShape polygon;
            polygon.Set(points.data(), n);
            holder.setShape(polygon);
        }
    } else if (typeId() == ZqModelCircle::staticTypeId()) {
        const float radius = static_cast<const ZqModelCircle*>(this)->radius() * kMetresPerPoint * std::fabs(scaleX);
        // Non-finite numbers would reach the broad phase's bounding boxes.
        if (std::isfinite(points[0].x) && std::isfinite(points[0].y) && std::isfinite(radius)) {
            b2CircleShape circle;
            circle.m_p = points[0];
            circle.m_radius = radius;
            holder.setShape(circle);
        }
    } else {
        b2PolygonShape box;
        box.SetAsBox(1.6f, 1.6f);
        holder.setShape(box);
    }
    return holder;
}

bool ZqModelPolygon::isValidShape(float scaleX, float scaleY) const
{
    return fixtureDef(scaleX, scaleY).hasShape();
}

void ZqModelCircle::addPoint(const CCPoint& point, bool silent)
{
    if (pointCount() < 2)
        ZqModelPolygon::addPoint(point, silent);
}

void ZqModelCircle::insertPoint(int, const CCPoint&, bool silent)
{
    if (!isEmpty())
        return;
    addDefaultShape(CCSize(), CCPoint(), true);
    if (!silent)
        notifyChanged();
}

void ZqModelCircle::removePoint(int, bool silent)
{
    if (isEmpty())
        return;
    removeAllPoints();
    if (!silent)
        notifyChanged();
}

void ZqModelCircle::setPoint(int index, const CCPoint& point, bool silent)
{
    const CCPoint centre = pointAt(0);
    ZqModelPolygon::setPoint(index, point, true);
    // Moving the centre carries the rim point along, so the radius stays.
    if (index == 0) {
        const CCPoint rim = pointAt(1);
        ZqModelPolygon::setPoint(1, CCPoint(rim.x + (point.x - centre.x), rim.y + (point.y - centre.y)), true);
    }
    if (!silent)
        notifyChanged();
}

void ZqModelCircle::addDefaultShape(const CCSize& size, const CCPoint& offset, bool silent)
{
    float radius = 30.0f;
    if (size.width > 0.0f || size.height > 0.0f)
        radius = static_cast<float>(static_cast<double>(size.height + size.width) / 5.0);
    addPoint(CCPoint(-offset.x, -offset.y), true);
    addPoint(CCPoint(radius - offset.x, -offset.y), true);
    if (!silent)
        notifyChanged();
}

float ZqModelCircle::radius() const
{
    if (isEmpty())
        return 0.0f;
    return ccpDistance(pointAt(0), pointAt(1));
}
