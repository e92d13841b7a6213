#include "media_shape_support.h"

#include "model/scene/ZqModelShapes.h"

#include <ZqRandom.h>

#include <cmath>

using namespace cocos2d;
using scene_test::SceneTest;

namespace {

std::shared_ptr<ZqModelPolygon> polygonOf(const std::vector<CCPoint>& points)
{
    std::shared_ptr<ZqModelPolygon> polygon = ZqModelPolygon::create();
    for (const CCPoint& point : points)
        polygon->addPoint(point, true);
    return polygon;
}

// A body in a real world: every shape made must attach without Box2D objecting.
class PhysicsWorld {
public:
    PhysicsWorld() : m_world(b2Vec2(0.0f, -10.0f))
    {
        b2BodyDef body;
        body.type = b2_dynamicBody;
        m_body = m_world.CreateBody(&body);
    }

    // Attaches a copy of the definition with a density (Box2D then computes the mass).
    b2Fixture* attach(const ZqFixtureDefinition& definition)
    {
        ZqFixtureDefinition copy = definition;
        copy.def.density = 1.0f;
        b2Fixture* fixture = m_body->CreateFixture(&copy.def);
        m_world.Step(1.0f / 60.0f, 6, 6);
        return fixture;
    }

private:
    b2World m_world;
    b2Body* m_body = nullptr;
};

const float kScales[][2] = {{1, 1}, {3, 3}, {-2, 1}, {0.1f, 0.1f}};

TEST_F(SceneTest, UsableOutlinesGiveFixturesBox2DAcceptsAtEveryScale)
{
    PhysicsWorld world;
    std::shared_ptr<ZqModelPolygon> square = polygonOf({{0, 0}, {40, 0}, {40, 40}, {0, 40}});
    std::shared_ptr<ZqModelCircle> circle = ZqModelCircle::create();
    circle->addDefaultShape(CCSize(), CCPoint(), true);
    for (const auto& scale : kScales) {
        for (const std::shared_ptr<ZqModelPolygon>& shape : {square, std::static_pointer_cast<ZqModelPolygon>(circle)}) {
            SCOPED_TRACE(std::string(shape->className()) + " at " + std::to_string(scale[0]));
            const ZqFixtureDefinition definition = shape->fixtureDef(scale[0], scale[1]);
            ASSERT_TRUE(definition.hasShape());
            EXPECT_TRUE(shape->isValidShape(scale[0], scale[1]));
            EXPECT_FLOAT_EQ(definition.def.friction, 0.2f);
            EXPECT_EQ(definition.def.filter.categoryBits, 1);
            EXPECT_EQ(definition.def.filter.maskBits, 0xFFFF);
            b2Fixture* fixture = world.attach(definition);
            ASSERT_NE(fixture, nullptr);
            if (fixture->GetType() != b2Shape::e_polygon)
                continue;
            // Every vertex is one of the points times (0.05 sx, -0.05 sy).
            const auto* polygon = static_cast<const b2PolygonShape*>(fixture->GetShape());
            ASSERT_EQ(polygon->m_count, 4);
            for (int i = 0; i < polygon->m_count; ++i) {
                bool found = false;
                for (const CCPoint& point : shape->points())
                    found = found || (polygon->m_vertices[i] == b2Vec2(point.x * (scale[0] * 0.05f), point.y * (scale[1] * -0.05f)));
                EXPECT_TRUE(found) << i;
            }
        }
    }
}

TEST_F(SceneTest, DegenerateOutlinesGiveNoShapeAndNeverAbort)
{
    const std::vector<std::vector<CCPoint>> outlines = {
        {},
        {{0, 0}, {40, 0}},
        {{0, 0}, {20, 20}, {40, 40}},                 // collinear
        {{0, 0}, {40, 0}, {40, 0.0000001f}, {0, 0}},  // zero area with a duplicate
        {{0, 0}, {40, 0}, {80, 0}, {120, 0}},         // zero area
        {{0, 0}, {0.5f, 0}, {0, 40}},                 // near-coincident at scale 1
    };
    for (const std::vector<CCPoint>& outline : outlines) {
        std::shared_ptr<ZqModelPolygon> polygon = polygonOf(outline);
        for (const auto& scale : kScales) {
            if (outline.size() == 3 && outline[1].x == 0.5f && std::fabs(scale[0]) >= 2)
                continue; // far enough apart there
            EXPECT_FALSE(polygon->fixtureDef(scale[0], scale[1]).hasShape()) << outline.size();
            EXPECT_FALSE(polygon->isValidShape(scale[0], scale[1]));
        }
    }
    // The near-coincident triangle: 0.025 m apart at scale 1, 0.075 m at scale 3.
    std::shared_ptr<ZqModelPolygon> triangle = polygonOf({{0, 0}, {0.5f, 0}, {0, 40}});
    EXPECT_FALSE(triangle->isValidShape(1, 1));
    EXPECT_TRUE(triangle->isValidShape(3, 3));
    // A zero scale flattens any outline.
    EXPECT_FALSE(polygonOf({{0, 0}, {40, 0}, {40, 40}})->isValidShape(0, 1));
}

TEST_F(SceneTest, RandomOutlinesEitherAttachOrGiveNoShape)
{
    PhysicsWorld world;
    zqSrand(7);
    for (int round = 0; round < 400; ++round) {
        std::vector<CCPoint> outline;
        const int count = 3 + zqRand() % 10; // up to 12 points, past Box2D's 8
        for (int i = 0; i < count; ++i) {
            // Small integer grids make collinear and duplicate points common.
            const float spread = (round % 2 == 0) ? 4.0f : 200.0f;
            outline.emplace_back(std::floor(zqRandUnit() * spread), std::floor(zqRandUnit() * spread));
        }
        std::shared_ptr<ZqModelPolygon> polygon = polygonOf(outline);
        const ZqFixtureDefinition definition = polygon->fixtureDef(1, 1);
        EXPECT_EQ(definition.hasShape(), polygon->isValidShape(1, 1));
        if (definition.hasShape()) {
            ASSERT_NE(world.attach(definition), nullptr);
        }
    }
}

TEST_F(SceneTest, CircleFixtureUsesCentreAndXScaledRadius)
{
    std::shared_ptr<ZqModelCircle> circle = ZqModelCircle::create();
    circle->addPoint(CCPoint(10, 0), true);
    circle->addPoint(CCPoint(20, 0), true);
    const ZqFixtureDefinition definition = circle->fixtureDef(2, 1);
    ASSERT_TRUE(definition.hasShape());
    const auto* shape = static_cast<const b2CircleShape*>(definition.def.shape);
    EXPECT_EQ(shape->m_type, b2Shape::e_circle);
    EXPECT_FLOAT_EQ(shape->m_p.x, 1.0f);
    EXPECT_FLOAT_EQ(shape->m_p.y, 0.0f);
    EXPECT_FLOAT_EQ(shape->m_radius, 1.0f);
    // A copied holder points at its own shape.
    const ZqFixtureDefinition copy = definition;
    EXPECT_NE(copy.def.shape, definition.def.shape);
    EXPECT_EQ(static_cast<const b2CircleShape*>(copy.def.shape)->m_radius, 1.0f);
    EXPECT_FALSE(ZqModelCircle::create()->isValidShape(1, 1));
}

TEST_F(SceneTest, PointEditingNotifiesOnlyForValidIndices)
{
    struct Counter : ZqModelObserver {
        void modelChanged(const std::shared_ptr<ZqModel>&) override { ++changes; }
        int changes = 0;
    } counter;
    std::shared_ptr<ZqModelPolygon> polygon = polygonOf({{0, 0}, {10, 0}});
    polygon->addObserver(&counter);
    polygon->insertPoint(2, CCPoint(5, 5));
    polygon->insertPoint(4, CCPoint(1, 1));
    polygon->insertPoint(-1, CCPoint(1, 1));
    polygon->removePoint(3);
    polygon->setPoint(-1, CCPoint(1, 1));
    EXPECT_EQ(polygon->pointCount(), 3);
    EXPECT_EQ(polygon->pointAt(2), CCPoint(5, 5));
    EXPECT_EQ(polygon->pointAt(7), CCPoint());
    EXPECT_EQ(counter.changes, 1);
    polygon->removeObserver(&counter);

    EXPECT_TRUE(polygonOf({{0, 0}, {10, 0}, {10, 10}, {0, 10}})->isConvex());
    EXPECT_FALSE(polygonOf({{0, 0}, {10, 10}, {10, 0}, {0, 10}})->isConvex());
    EXPECT_FALSE(polygonOf({{0, 0}, {10, 0}})->isConvex());

    std::shared_ptr<ZqModelPolygon> box = ZqModelPolygon::create();
    box->addDefaultShape(CCSize(0, 50), CCPoint(10, 0), true);
    EXPECT_EQ(box->points(), (std::vector<CCPoint>{{-70, -40}, {50, -40}, {50, 40}, {-70, 40}}));
}

TEST_F(SceneTest, CircleKeepsTwoPointsAndItsRadius)
{
    std::shared_ptr<ZqModelCircle> circle = ZqModelCircle::create();
    circle->insertPoint(5, CCPoint(1, 1), true);
    ASSERT_EQ(circle->pointCount(), 2);
    EXPECT_EQ(circle->pointAt(1), CCPoint(30, 0));
    circle->addPoint(CCPoint(7, 7), true);
    EXPECT_EQ(circle->pointCount(), 2);
    circle->setPoint(0, CCPoint(10, 10), true);
    EXPECT_EQ(circle->pointAt(1), CCPoint(40, 10));
    EXPECT_FLOAT_EQ(circle->radius(), 30.0f);
    circle->removePoint(1, true);
    EXPECT_TRUE(circle->isEmpty());
    circle->addDefaultShape(CCSize(10, 0), CCPoint(1, 2), true);
    EXPECT_EQ(circle->points(), (std::vector<CCPoint>{{-1, -2}, {1, -2}}));
    EXPECT_TRUE(circle->isKindOf(ZqModelPolygon::staticTypeId()));
}

TEST_F(SceneTest, PolygonFilesRoundTripAndCutToEightPoints)
{
    std::shared_ptr<ZqModelPolygon> polygon = polygonOf({});
    for (int i = 0; i < 10; ++i)
        polygon->addPoint(CCPoint(i, i * 2.5f), true);
    polygon->setOneWayCollisionVector(CCPoint(0, 1));
    std::shared_ptr<ZqModelCircle> circle = ZqModelCircle::create();
    circle->addDefaultShape(CCSize(), CCPoint(3, 4), true);
    controller().addModel(polygon);
    controller().addModel(circle);
    const unsigned polygonId = polygon->id(), circleId = circle->id();
    scene_test::installKeysFor({polygon, circle});
    const scene_test::ModelFiles files = scene_test::packModels({polygon, circle});
    polygon.reset();
    circle.reset();
    scene_test::reloadModels(files);

    std::shared_ptr<ZqModelPolygon> readPolygon = controller().getModel<ZqModelPolygon>(polygonId);
    std::shared_ptr<ZqModelCircle> readCircle = controller().getModel<ZqModelCircle>(circleId);
    ASSERT_TRUE(readPolygon);
    ASSERT_TRUE(readCircle);
    ASSERT_EQ(readPolygon->pointCount(), 8);
    EXPECT_EQ(readPolygon->pointAt(7), CCPoint(7, 17.5f));
    EXPECT_EQ(readPolygon->oneWayCollisionVector(), CCPoint(0, 1));
    EXPECT_EQ(readCircle->points(), (std::vector<CCPoint>{{-3, -4}, {27, -4}}));
}

} // namespace
