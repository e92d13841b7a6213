// Lights: the fan without shadows, shadows from ray casts against the field's world, the
// light inside a caster, sensors, the vertex cap, slow devices and a radius of nothing.
#include "screens/field_test_support.h"

#include "model/objects/ZqModelObjectsEffects.h"
#include "objects/assets/ZqPObjectAssetLight.h"
#include "objects/ZqPhysicsWorld.h"
#include "tools/ZqMediaWriter.h"

#include <cmath>

using namespace cocos2d;
using namespace field_test;

namespace {

// A placed box whose fixtures cast shadows.
class Caster : public ZqPObjectAsset {
public:
    using ZqPObjectAsset::ZqPObjectAsset;
    bool castsShadow() const override { return true; }
};

class LightObjectTest : public RuntimeTest {
protected:
    void SetUp() override
    {
        RuntimeTest::SetUp();
        ASSERT_TRUE(zqmedia::writeEffectMedia(dir.file("data")));
        ZqPSettingsController::shared()->setSlowDevice(false);
        field = makeField();
        field->update(kStep);
    }

    ZqPObjectAssetLight* lightAt(const CCPoint& position, float radius, bool castShadow = true)
    {
        auto model = zqCreateModel<ZqModelObjectLight>("light");
        model->m_radius->setValue(radius);
        model->m_castShadow->setValue(castShadow);
        auto* light = dynamic_cast<ZqPObjectAssetLight*>(ZqPObjectAsset::createAssetObject(model));
        EXPECT_NE(light, nullptr);
        light->setPosition(position);
        field->adoptObject(light, nullptr);
        light->setPosition(position);
        return light;
    }

    Caster* casterAt(const CCPoint& position, const CCSize& size)
    {
        auto* caster = new Caster(boxModel(position, size));
        caster->autorelease();
        caster->setPosition(position);
        addToField(field, caster);
        return caster;
    }

    // A body with an octagon of radius metres at centre (metres), owned by a caster that
    // the caller releases after destroying the body.
    b2Body* octagonAt(const b2Vec2& centre, float radius, Caster*& owner)
    {
        owner = new Caster(zqCreateModel<ZqModelObjectAsset>("octagon"));
        b2BodyDef body;
        body.position = centre;
        b2Vec2 points[8];
        for (int i = 0; i < 8; ++i)
            points[i] = radius * b2Vec2(std::cos(i * 0.785398f), std::sin(i * 0.785398f));
        b2PolygonShape shape;
        shape.Set(points, 8);
        b2FixtureDef fixture;
        fixture.shape = &shape;
        // Rays pass sensors: each gives two vertices, 1 + 2 x 644 in all without the cap.
        fixture.isSensor = true;
        b2Body* made = field->world()->box2d().CreateBody(&body);
        zqAddFixture(made, fixture, owner);
        return made;
    }

    int grey(int x, int y) { return pixel(x, y)[0]; }

    ZqPScreenScene* field = nullptr;
};

TEST_F(LightObjectTest, WithoutShadowsTheFanIsASquareFadedByTheTexture)
{
    ZqPObjectAssetLight* light = lightAt(CCPoint(32, 24), 1.0f, false);
    field->update(kStep);
    ASSERT_EQ(light->vertexCount(), 5);
    EXPECT_FLOAT_EQ(std::fabs(light->vertex(1).x), 20.0f);
    EXPECT_FLOAT_EQ(std::fabs(light->vertex(1).y), 20.0f);
    g_uNumberOfDraws = 0;
    frame();
    EXPECT_GT(grey(32, 24), 200);
    EXPECT_LT(grey(50, 42), 10);
    EXPECT_LT(grey(20, 24), grey(28, 24));
}

TEST_F(LightObjectTest, CasterDarkensWhatLiesBehindItButItsSensorDoesNot)
{
    ZqPObjectAssetLight* light = lightAt(CCPoint(10, 24), 3.0f);
    field->update(kStep);
    frame();
    EXPECT_GT(grey(40, 24), 20);

    Caster* caster = casterAt(CCPoint(25, 24), CCSize(6, 20));
    field->update(kStep);
    frame();
    EXPECT_LT(grey(40, 24), 5);
    EXPECT_GT(grey(15, 24), 20);

    // A sensor adds rays towards its corners but stops none: each ray gives its target
    // and a vertex at the full radius (60 points; the square's corners lie further).
    caster->getBody()->GetFixtureList()->SetSensor(true);
    field->update(kStep);
    ASSERT_EQ(light->vertexCount(), 1 + 2 * (4 + 4));
    int reaching = 0;
    for (int i = 1; i < light->vertexCount(); ++i)
        reaching += std::hypot(light->vertex(i).x, light->vertex(i).y) > 59.0f ? 1 : 0;
    EXPECT_EQ(reaching, 12);
}

TEST_F(LightObjectTest, LightInsideACasterKeepsOnlyItsCentre)
{
    casterAt(CCPoint(30, 20), CCSize(20, 20));
    ZqPObjectAssetLight* light = lightAt(CCPoint(30, 20), 2.0f);
    field->update(kStep);
    EXPECT_EQ(light->vertexCount(), 1);
    frame();
    EXPECT_LT(grey(30, 20), 5);
}

TEST_F(LightObjectTest, SlowDeviceAndNoRadiusAndHiddenLights)
{
    casterAt(CCPoint(25, 24), CCSize(6, 20));
    ZqPObjectAssetLight* light = lightAt(CCPoint(10, 24), 3.0f);
    ZqPSettingsController::shared()->setSlowDevice(true);
    field->update(kStep);
    EXPECT_EQ(light->vertexCount(), 5);
    ZqPSettingsController::shared()->setSlowDevice(false);

    ZqPObjectAssetLight* dark = lightAt(CCPoint(50, 24), 0.0f);
    field->update(kStep);
    EXPECT_EQ(dark->vertexCount(), 0);
    // Out of the visible area the light hides.
    light->setPosition(5000, 24);
    field->update(kStep);
    EXPECT_FALSE(light->isVisible());
    EXPECT_EQ(light->vertexCount(), 0);
    g_uNumberOfDraws = 0;
    frame();
    EXPECT_LT(grey(50, 24), 5);
}

TEST_F(LightObjectTest, EightyOctagonsInRangeStayWithinTheVertexArrays)
{
    ZqPObjectAssetLight* light = lightAt(CCPoint(32, 24), 5.0f);
    std::vector<std::pair<b2Body*, Caster*>> octagons;
    for (int i = 0; i < 10; ++i) {
        for (int j = 0; j < 8; ++j) {
            Caster* owner = nullptr;
            b2Body* body = octagonAt(b2Vec2(1.6f + (i - 5) * 0.4f + 0.2f, 1.2f + (j - 4) * 0.4f + 0.2f), 0.1f, owner);
            octagons.emplace_back(body, owner);
        }
    }
    field->update(kStep);
    EXPECT_EQ(light->vertexCount(), ZqPObjectAssetLight::kMaxVertices - 1);
    frame();
    for (const auto& [body, owner] : octagons) {
        field->world()->box2d().DestroyBody(body);
        owner->release();
    }
}

TEST(LightTangentsTest, TangentPointsTouchTheCircleFromOutsideOnly)
{
    b2Vec2 first;
    b2Vec2 second;
    EXPECT_EQ(ZqPObjectAssetLight::tangentPoints(b2Vec2(0, 0), 1.0f, b2Vec2(0.5f, 0.2f), first, second), 0);
    // Level with the centre.
    ASSERT_EQ(ZqPObjectAssetLight::tangentPoints(b2Vec2(0, 0), 1.0f, b2Vec2(2, 0), first, second), 2);
    EXPECT_NEAR(first.x, 0.5f, 1e-5);
    EXPECT_NEAR(first.y, std::sqrt(0.75f), 1e-5);
    EXPECT_NEAR(second.y, -std::sqrt(0.75f), 1e-5);
    ASSERT_EQ(ZqPObjectAssetLight::tangentPoints(b2Vec2(1, 1), 1.0f, b2Vec2(1, 3), first, second), 2);
    EXPECT_NEAR(first.x, 1.0f - std::sqrt(0.75f), 1e-5);
    EXPECT_NEAR(first.y, 1.5f, 1e-5);
    EXPECT_NEAR(second.x, 1.0f + std::sqrt(0.75f), 1e-5);
    EXPECT_NEAR(second.y, 1.5f, 1e-5);
}

} // namespace
