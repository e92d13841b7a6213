#include "objects/assets/ZqPObjectAssetLight.h"

#include "app/ZqPSettingsController.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "objects/ZqPhysicsWorld.h"

#include <algorithm>
#include <cmath>

using namespace cocos2d;

namespace {

// Rays step off a caster's corners by this much (metres), so that they pass it.
constexpr float kCornerOffset = 0.005f;
// A hit this much beyond a ray's target means the ray passed its corner.
constexpr float kPastCorner = 0.05f;
// Fixture rays start only while this many rays leave room for a polygon's eight.
constexpr int kMaxRaysBeforeFixture = 1018;
// Texture coordinates per point and metre of radius.
constexpr float kTextureScale = 0.03f;

b2Vec2 normalised(b2Vec2 v)
{
    if (v.Length() >= b2_epsilon)
        v.Normalize();
    return v;
}

// The first kMaxFixtures shadow-casting fixtures in a box.
class ZqLightFixturesQueryCallback : public b2QueryCallback {
public:
    bool ReportFixture(b2Fixture* fixture) override
    {
        const ZqPObject* object = zqObjectOf(fixture);
        if (object && object->castsShadow() && count < ZqPObjectAssetLight::kMaxFixtures)
            fixtures[static_cast<size_t>(count++)] = fixture;
        return true;
    }
    std::array<b2Fixture*, ZqPObjectAssetLight::kMaxFixtures> fixtures{};
    int count = 0;
};

// The nearest solid shadow caster on a ray; sensors let it through.
class ZqLightFixturesRaycastCallback : public b2RayCastCallback {
public:
    float ReportFixture(b2Fixture* fixture, const b2Vec2& point, const b2Vec2&, float fraction) override
    {
        const ZqPObject* object = zqObjectOf(fixture);
        if (!object || !object->castsShadow() || fixture->IsSensor())
            return -1.0f;
        hit = true;
        hitPoint = point;
        return fraction;
    }
    bool hit = false;
    b2Vec2 hitPoint;
};

} // namespace

ZqPObjectAssetLight::ZqPObjectAssetLight(const std::shared_ptr<ZqModelObjectLight>& model)
    : ZqPObjectAsset(model)
    , m_light(model)
{
    setObjectType(kTypeEffect);
    setCollisionKind(0);
    setLinearMovement(true);
    m_texture = ZqEffectDrawing::texture(nullptr, "/fx/lightMap.png");
}

void ZqPObjectAssetLight::createBody(ZqPhysicsWorld* world, bool)
{
    m_world = world;
}

void ZqPObjectAssetLight::setState(int state)
{
    ZqPObject::setState(state);
    if (state == kStateRemoved)
        m_light.reset();
}

CCRect ZqPObjectAssetLight::boundingRect() const
{
    if (!m_light)
        return CCRect();
    const float half = m_light->radius() * zqphysics::kPointsPerMetre;
    return boundsAtReferencePosition(CCRect(-half, -half, 2.0f * half, 2.0f * half));
}

int ZqPObjectAssetLight::tangentPoints(const b2Vec2& centre, float radius, const b2Vec2& point, b2Vec2& first,
                                       b2Vec2& second)
{
    const float dx = (point.x - centre.x) / radius;
    const float dy = (point.y - centre.y) / radius;
    const float s = dx * dx + dy * dy;
    if (s < 1.0f)
        return 0;
    const float q = std::sqrt(s - 1.0f) * dy;
    const float a = (dx - q) / s;
    const float b = (dx + q) / s;
    first.x = centre.x + a * radius;
    second.x = centre.x + b * radius;
    if (dy == 0.0f) {
        const float h = std::sqrt(1.0f - a * a);
        first.y = centre.y + h * radius;
        second.y = centre.y - h * radius;
    } else {
        first.y = centre.y + (1.0f - a * dx) * radius / dy;
        second.y = centre.y + (1.0f - b * dx) * radius / dy;
    }
    return 2;
}

void ZqPObjectAssetLight::addRay(const b2Vec2& target, const b2Vec2& offset)
{
    if (m_rayCount >= kMaxVertices)
        return;
    m_rayTargets[static_cast<size_t>(m_rayCount)] = target;
    m_rayOffsets[static_cast<size_t>(m_rayCount)] = offset;
    ++m_rayCount;
}

// Stops one short of the arrays' end: the fan's closing copy goes there.
void ZqPObjectAssetLight::addVertex(const b2Vec2& metres)
{
    if (m_vertexCount >= kMaxVertices - 1)
        return;
    m_vertices[static_cast<size_t>(m_vertexCount++)] = ccVertex2F{metres.x * zqphysics::kPointsPerMetre, metres.y * zqphysics::kPointsPerMetre};
}

void ZqPObjectAssetLight::addFixtureRays(const b2Fixture& fixture, const b2Vec2& light)
{
    const b2Transform& transform = fixture.GetBody()->GetTransform();
    const b2Shape* shape = fixture.GetShape();
    if (shape->GetType() == b2Shape::e_polygon) {
        const b2PolygonShape& polygon = static_cast<const b2PolygonShape&>(*shape);
        for (int j = 0; j < polygon.m_count; ++j) {
            const b2Vec2 d = normalised(polygon.m_normals[j] - polygon.m_normals[(j + 1) % polygon.m_count]);
            const b2Vec2 offset = kCornerOffset * b2Mul(transform.q, d);
            addRay(offset + b2Mul(transform, polygon.m_vertices[j]) - light, offset);
        }
    } else if (shape->GetType() == b2Shape::e_circle) {
        const b2CircleShape& circle = static_cast<const b2CircleShape&>(*shape);
        const b2Vec2 centre = b2Mul(transform, circle.m_p);
        b2Vec2 first;
        b2Vec2 second;
        if (tangentPoints(centre, circle.m_radius, light, first, second) == 0)
            return;
        const b2Vec2 offset = kCornerOffset * normalised(first - centre);
        addRay(first - light + offset, offset);
        addRay(second - light - offset, -offset);
    }
}

bool ZqPObjectAssetLight::insideCaster(b2World& world, const b2Vec2& light)
{
    ZqLightFixturesQueryCallback near;
    b2AABB box;
    box.lowerBound = light - b2Vec2(zqphysics::kMetresPerPoint, zqphysics::kMetresPerPoint);
    box.upperBound = light + b2Vec2(zqphysics::kMetresPerPoint, zqphysics::kMetresPerPoint);
    world.QueryAABB(&near, box);
    for (int i = 0; i < near.count; ++i) {
        const b2Fixture* fixture = near.fixtures[static_cast<size_t>(i)];
        if (fixture->GetShape()->TestPoint(fixture->GetBody()->GetTransform(), light))
            return true;
    }
    return false;
}

void ZqPObjectAssetLight::castRays(b2World& world, const b2Vec2& light, float radius)
{
    for (int i = 0; i < m_rayCount; ++i) {
        const b2Vec2& target = m_rayTargets[static_cast<size_t>(i)];
        const b2Vec2& offset = m_rayOffsets[static_cast<size_t>(i)];
        // A ray without direction would be cast with zero length, which Box2D rejects.
        if (target.Length() < b2_epsilon)
            continue;
        const b2Vec2 dir = radius * normalised(target);
        ZqLightFixturesRaycastCallback ray;
        world.RayCast(&ray, light, light + dir);
        if (!ray.hit) {
            addVertex(target);
            addVertex(offset + dir);
            continue;
        }
        const b2Vec2 v = ray.hitPoint - light;
        if (v.Length() > target.Length() + kPastCorner)
            addVertex(target - offset);
        addVertex(v);
    }
}

void ZqPObjectAssetLight::update(float dt)
{
    ZqPObject::update(dt);
    if (!m_light)
        return;
    m_vertexCount = 0;
    const float radius = m_light->radius();
    // No reach, no light (and no zero-length rays).
    if (!m_world || !isVisible() || radius <= 0.0f)
        return;
    addVertex(b2Vec2(0.0f, 0.0f));
    const CCPoint position = referencePosition();
    const b2Vec2 light(position.x * zqphysics::kMetresPerPoint, position.y * zqphysics::kMetresPerPoint);
    const b2Vec2 lower = light - b2Vec2(radius, radius);
    const b2Vec2 upper = light + b2Vec2(radius, radius);
    m_rayCount = 0;
    addRay(b2Vec2(lower.x, lower.y) - light, b2Vec2(0.0f, 0.0f));
    addRay(b2Vec2(lower.x, upper.y) - light, b2Vec2(0.0f, 0.0f));
    addRay(b2Vec2(upper.x, upper.y) - light, b2Vec2(0.0f, 0.0f));
    addRay(b2Vec2(upper.x, lower.y) - light, b2Vec2(0.0f, 0.0f));
    if (!m_light->isCastShadow() || ZqPSettingsController::shared()->isSlowDevice()) {
        for (int i = 0; i < m_rayCount; ++i)
            addVertex(m_rayTargets[static_cast<size_t>(i)]);
        return;
    }
    b2World& world = m_world->box2d();
    if (insideCaster(world, light))
        return;
    ZqLightFixturesQueryCallback casters;
    b2AABB box;
    box.lowerBound = lower;
    box.upperBound = upper;
    world.QueryAABB(&casters, box);
    for (int i = 0; i < casters.count && m_rayCount <= kMaxRaysBeforeFixture; ++i)
        addFixtureRays(*casters.fixtures[static_cast<size_t>(i)], light);
    castRays(world, light, radius);
}

void ZqPObjectAssetLight::draw()
{
    if (!m_light || m_vertexCount < 2)
        return;
    kmGLPushMatrix();
    // The fan keeps the field's axes: undo the node's rotation and scale, keep its origin.
    if (getParent()) {
        const CCAffineTransform toParent = nodeToParentTransform();
        const CCAffineTransform inverse = CCAffineTransformInvert(toParent);
        kmMat4 matrix;
        CGAffineToGL(&inverse, matrix.mat);
        matrix.mat[14] = getVertexZ();
        kmGLMultMatrix(&matrix);
        kmGLTranslatef(toParent.tx, toParent.ty, 0.0f);
    }
    const int count = m_vertexCount;
    std::sort(m_vertices.begin() + 1, m_vertices.begin() + count, [](const ccVertex2F& a, const ccVertex2F& b) {
        return std::atan2(a.y, a.x) > std::atan2(b.y, b.x);
    });
    m_vertices[static_cast<size_t>(count)] = m_vertices[1];
    const float radius = m_light->radius();
    m_texCoords[0] = ccTex2F{0.5f, 0.5f};
    for (int i = 1; i <= count; ++i) {
        const ccVertex2F& v = m_vertices[static_cast<size_t>(i)];
        m_texCoords[static_cast<size_t>(i)]
            = ccTex2F{v.x * kTextureScale / radius + 0.5f, v.y * kTextureScale / radius + 0.5f};
    }
    const ccColor4F& colour = m_light->color();
    const float a = colour.a / 255.0f * colorFactor();
    m_drawing.draw(m_texture, ccTriangleMode::Fan, m_vertices.data(), m_texCoords.data(),
                   static_cast<unsigned int>(count + 1),
                   ccColor4F{colour.r / 255.0f * a, colour.g / 255.0f * a, colour.b / 255.0f * a, a});
    kmGLPopMatrix();
}
