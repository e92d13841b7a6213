#include "screens/ZqPhysicsDebugDraw.h"

#include "objects/ZqGameField.h"
#include "objects/ZqPhysicsBody.h"
#include "objects/ZqPhysicsWorld.h"
#include "screens/field/ZqPScreenScene.h"

#include <algorithm>
#include <cmath>

using namespace cocos2d;

namespace {

constexpr float kFillStrength = 0.5f;
// Length of a drawn transform's axes, in metres.
constexpr float kAxisLength = 0.4f;

CCPoint toPoint(const b2Vec2& v)
{
    return CCPoint(v.x * zqphysics::kPointsPerMetre, v.y * zqphysics::kPointsPerMetre);
}

void useColour(const b2Color& color)
{
    ccDrawColor4F(color.r, color.g, color.b, color.a);
}

ccColor4F fillOf(const b2Color& color)
{
    return ccc4f(kFillStrength * color.r, kFillStrength * color.g, kFillStrength * color.b, kFillStrength * color.a);
}

} // namespace

ZqPhysicsDebugDraw::ZqPhysicsDebugDraw()
{
    SetFlags(e_shapeBit | e_jointBit);
}

unsigned ZqPhysicsDebugDraw::toPoints(const b2Vec2* vertices, int32 count)
{
    const unsigned n = static_cast<unsigned>(std::clamp<int32>(count, 0, b2_maxPolygonVertices));
    for (unsigned i = 0; i < n; ++i)
        m_points[i] = toPoint(vertices[i]);
    return n;
}

void ZqPhysicsDebugDraw::DrawPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color)
{
    const unsigned n = toPoints(vertices, vertexCount);
    useColour(color);
    ccDrawPoly(m_points, n, true);
}

void ZqPhysicsDebugDraw::DrawSolidPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color)
{
    const unsigned n = toPoints(vertices, vertexCount);
    ccDrawSolidPoly(m_points, n, fillOf(color));
    useColour(color);
    ccDrawPoly(m_points, n, true);
}

void ZqPhysicsDebugDraw::DrawCircle(const b2Vec2& center, float radius, const b2Color& color)
{
    useColour(color);
    ccDrawCircle(toPoint(center), radius * zqphysics::kPointsPerMetre, 0.0f, kCircleSegments, false);
}

void ZqPhysicsDebugDraw::DrawSolidCircle(const b2Vec2& center, float radius, const b2Vec2& axis, const b2Color& color)
{
    // The engine has no filled circle: a polygon of the circle's segments.
    const CCPoint c = toPoint(center);
    const float r = radius * zqphysics::kPointsPerMetre;
    for (unsigned i = 0; i < kCircleSegments; ++i) {
        const float angle = 2.0f * b2_pi * static_cast<float>(i) / static_cast<float>(kCircleSegments);
        m_points[i] = CCPoint(c.x + r * std::cos(angle), c.y + r * std::sin(angle));
    }
    ccDrawSolidPoly(m_points, kCircleSegments, fillOf(color));
    useColour(color);
    ccDrawPoly(m_points, kCircleSegments, true);
    ccDrawLine(c, toPoint(center + radius * axis));
}

void ZqPhysicsDebugDraw::DrawSegment(const b2Vec2& p1, const b2Vec2& p2, const b2Color& color)
{
    useColour(color);
    ccDrawLine(toPoint(p1), toPoint(p2));
}

void ZqPhysicsDebugDraw::DrawTransform(const b2Transform& xf)
{
    const CCPoint origin = toPoint(xf.p);
    ccDrawColor4F(1.0f, 0.0f, 0.0f, 1.0f);
    ccDrawLine(origin, toPoint(xf.p + kAxisLength * xf.q.GetXAxis()));
    ccDrawColor4F(0.0f, 1.0f, 0.0f, 1.0f);
    ccDrawLine(origin, toPoint(xf.p + kAxisLength * xf.q.GetYAxis()));
}

void ZqPhysicsDebugDraw::DrawPoint(const b2Vec2& p, float size, const b2Color& color)
{
    useColour(color);
    ccPointSize(size);
    ccDrawPoint(toPoint(p));
    ccPointSize(1.0f);
}

ZqPhysicsDebugDrawNode* ZqPhysicsDebugDrawNode::create(const ZqGameField& field)
{
    ZqPhysicsDebugDrawNode* node = new ZqPhysicsDebugDrawNode(field);
    node->autorelease();
    node->init();
    return node;
}

void ZqPhysicsDebugDrawNode::visit()
{
    CCNode* camera = m_field.camera();
    if (!ZqPScreenScene::isDebugDrawEnabled() || !camera || !m_field.world())
        return;
    setPosition(camera->getPosition());
    setRotation(camera->getRotation());
    setScaleX(camera->getScaleX());
    setScaleY(camera->getScaleY());
    CCNode::visit();
}

void ZqPhysicsDebugDrawNode::draw()
{
    ZqPhysicsWorld* world = m_field.world();
    if (!world || world->isLocked())
        return;
    b2World& box2d = world->box2d();
    box2d.SetDebugDraw(&m_draw);
    box2d.DebugDraw();
    box2d.SetDebugDraw(nullptr);
    // The outline colour is shared by every caller of the primitives: back to its start.
    ccDrawColor4F(1.0f, 1.0f, 1.0f, 1.0f);
}
