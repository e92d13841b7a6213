#pragma once

#include "cocos2d.h"

#include <box2d/box2d.h>

class ZqGameField;

// Box2D's debug drawing through the engine's drawing primitives, in the current
// model-view: metres become points (20 each). Solid shapes are filled at half strength
// and outlined in the colour Box2D gives. Needs a current GL context.
class ZqPhysicsDebugDraw : public b2Draw {
public:
    // Segments of a drawn circle.
    static constexpr unsigned kCircleSegments = 16;

    ZqPhysicsDebugDraw();

    void DrawPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) override;
    void DrawSolidPolygon(const b2Vec2* vertices, int32 vertexCount, const b2Color& color) override;
    void DrawCircle(const b2Vec2& center, float radius, const b2Color& color) override;
    void DrawSolidCircle(const b2Vec2& center, float radius, const b2Vec2& axis, const b2Color& color) override;
    void DrawSegment(const b2Vec2& p1, const b2Vec2& p2, const b2Color& color) override;
    void DrawTransform(const b2Transform& xf) override;
    void DrawPoint(const b2Vec2& p, float size, const b2Color& color) override;

private:
    // Converts up to b2_maxPolygonVertices vertices into m_points; answers how many.
    unsigned toPoints(const b2Vec2* vertices, int32 count);

    cocos2d::CCPoint m_points[b2_maxPolygonVertices > kCircleSegments ? b2_maxPolygonVertices : kCircleSegments];
};

// The node that draws field's world, a sibling drawn after the field's camera: each visit
// takes the camera's placement, so that it draws in the camera's space. Draws nothing while
// the field's debug-draw switch is off or the field has no world. The field outlives it.
class ZqPhysicsDebugDrawNode : public cocos2d::CCNode {
public:
    // Autoreleased.
    static ZqPhysicsDebugDrawNode* create(const ZqGameField& field);

    void visit() override;
    void draw() override;

private:
    explicit ZqPhysicsDebugDrawNode(const ZqGameField& field) : m_field(field) {}

    const ZqGameField& m_field;
    ZqPhysicsDebugDraw m_draw;
};
