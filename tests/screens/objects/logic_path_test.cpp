// Logic zones that change the units of one asset, and paths that carry objects along
// their points.
#include "screens/objects/mechanics_support.h"

#include "model/objects/ZqModelObjectsEffects.h"
#include "model/objects/ZqModelObjectsLogic.h"
#include "objects/assets/ZqPObjectAssetLogic.h"
#include "objects/assets/ZqPObjectAssetPath.h"

#include <functional>

using namespace cocos2d;

namespace {

class LogicTest : public MechanicsTest {
protected:
    // A 200 x 40 logic zone at (300, 300) acting on asset's units with operation; setUp sets
    // its modifiers.
    std::shared_ptr<ZqModelObjectLogic> logicModel(const std::shared_ptr<ZqModelAssetObstacle>& affected,
                                                   const std::string& operation,
                                                   const std::function<void(ZqModelObjectLogic&)>& setUp)
    {
        auto zone = ZqModelController::shared()->createModel<ZqModelAsset>();
        zone->updateCollisionShape(CCSize(200, 40), CCPoint());
        auto logic = ZqModelController::shared()->createModel<ZqModelObjectLogic>();
        logic->setAsset(zone);
        logic->setPosition(CCPoint(300, 300));
        logic->m_affectedAsset->setValue(std::to_string(affected->id()));
        logic->m_affectOperation->setValue(operation);
        setUp(*logic);
        return logic;
    }

    // Steps until unit's centre has fallen (or moved) below the zone's centre.
    void passZone(ZqPObjectAssetUnit* unit)
    {
        for (int i = 0; i < 120 && unit->getPositionY() > 300.0f; ++i)
            play();
        ASSERT_LE(unit->getPositionY(), 300.0f) << "never reached the zone";
    }
};

TEST_F(LogicTest, ReplacedVelocityIsInUnitsOf32PointsASecondAndTouchesOnlyTheAffectedAsset)
{
    auto affected = obstacle();
    place<ZqPObjectAssetLogic>(logicModel(affected, "kReplace", [](ZqModelObjectLogic& logic) {
        setAxes(logic.m_linearVelocityModifier, 2.0f, std::nullopt);
        logic.m_angularVelocityModifier->setValue(32.0f);
        logic.m_angularVelocityModifier->setEmpty(false);
    }));
    auto* unit = place<ZqPObjectAssetUnit>(unitModel(affected, CCPoint(280, 400), "kMovementPhysics", CCPoint(1, 0)));
    auto* stranger = place<ZqPObjectAssetUnit>(unitModel(obstacle(), CCPoint(320, 400), "kMovementPhysics", CCPoint(1, 0)));
    passZone(unit);
    const b2Vec2 v = unit->getBody()->GetLinearVelocity();
    EXPECT_NEAR(v.x, 3.2f, 0.01f) << "2 units of 32 points a second";
    EXPECT_NEAR(unit->getBody()->GetAngularVelocity(), 1.0f, 1e-4f) << "32 units of 1/32 rad a second";
    const b2Vec2 w = stranger->getBody()->GetLinearVelocity();
    EXPECT_NEAR(v.y, w.y, 1e-3f) << "the fall is left to gravity";
    EXPECT_LT(w.y, -5.0f);
    EXPECT_FLOAT_EQ(w.x, 1.0f) << "another asset's unit passes unchanged";
    EXPECT_EQ(stranger->getBody()->GetAngularVelocity(), 0.0f);
}

TEST_F(LogicTest, ALinearUnitsOwnVelocityIsChangedUnconverted)
{
    auto affected = obstacle();
    place<ZqPObjectAssetLogic>(logicModel(affected, "kReplace", [](ZqModelObjectLogic& logic) {
        setAxes(logic.m_linearVelocityModifier, 5.0f, std::nullopt);
    }));
    auto* linear = place<ZqPObjectAssetUnit>(unitModel(affected, CCPoint(350, 340), "kMovementLinear", CCPoint(0, -4)));
    passZone(linear);
    EXPECT_FLOAT_EQ(linear->velocity().x, 5.0f);
    EXPECT_FLOAT_EQ(linear->velocity().y, -4.0f);
}

TEST_F(LogicTest, AReplacedPositionOutsideWorldSpaceMovesWithTheZone)
{
    auto affected = obstacle();
    auto* zone = dynamic_cast<ZqPObjectAssetLogic*>(
        ZqPObjectAsset::createAssetObject(logicModel(affected, "kReplace", [](ZqModelObjectLogic& logic) {
            setAxes(logic.m_positionModifier, 50.0f, std::nullopt);
        })));
    ASSERT_NE(zone, nullptr);
    // Placed 100 points right of where it was authored, as a level section would be.
    zone->setPosition(CCPoint(400, 300));
    addToField(field(), zone);
    auto* unit = place<ZqPObjectAssetUnit>(unitModel(affected, CCPoint(400, 340)));
    passZone(unit);
    EXPECT_NEAR(unit->getPositionX(), 150.0f, 1.0f);
}

class PathTest : public MechanicsTest {
protected:
    // A path at position through points with the acceptance set's values: "Search Radius"
    // 50, "Speed" 5, "Attraction Force" 100, "Keep Velocity" false; active on the field.
    // With objectAsset, the path affects "kAssets" with that "Object Asset" text.
    ZqPObjectAssetPath* placePath(const CCPoint& position, const std::vector<CCPoint>& points, const std::string& mode,
                                  float radius = 50.0f, const std::string& objectAsset = "")
    {
        auto model = ZqModelController::shared()->createModel<ZqModelObjectPath>();
        model->setPosition(position);
        for (const CCPoint& point : points)
            model->addPoint(point);
        model->m_searchRadius->setValue(radius);
        model->m_speed->setValue(5.0f);
        model->m_attractionForce->setValue(100.0f);
        model->m_keepVelocity->setValue(false);
        model->m_playMode->setValue(mode);
        model->m_affectedAsset->setValue(objectAsset.empty() ? "kAll" : "kAssets");
        model->m_objectAsset->setValue(objectAsset);
        auto* path = place<ZqPObjectAssetPath>(model);
        EXPECT_FALSE(path->isMovementActive()) << "paths wait for the field";
        path->setMovementActive(true);
        return path;
    }

    // A physics unit of asset (else a new one) at position, woken and falling.
    ZqPObjectAssetUnit* placeUnit(const CCPoint& position, std::shared_ptr<ZqModelAssetObstacle> asset = nullptr)
    {
        auto* unit = place<ZqPObjectAssetUnit>(unitModel(asset ? asset : obstacle(), position));
        play();
        EXPECT_EQ(unit->getBody()->GetType(), b2_dynamicBody);
        return unit;
    }

    static bool carried(const ZqPObjectAssetPath* path, const ZqPObjectAsset* object)
    {
        const std::vector<ZqPObjectAsset*> objects = path->carriedObjects();
        return std::find(objects.begin(), objects.end(), object) != objects.end();
    }
};

TEST_F(PathTest, ASingleRunCarriesAUnitToTheLastPointAndReleasesItStopped)
{
    ZqPObjectAssetUnit* unit = placeUnit(CCPoint(330, 300));
    ZqPObjectAssetPath* path = placePath(CCPoint(300, 300), {{100, 0}, {200, 0}}, "kPlayModeSingle");
    ZqPObjectAssetPath* second = placePath(CCPoint(320, 300), {{0, 100}}, "kPlayModeSingle", 80.0f);
    play();
    ASSERT_TRUE(carried(path, unit));
    EXPECT_TRUE(unit->objectType() & ZqPObject::kTypeCarried);
    EXPECT_EQ(unit->getBody()->GetGravityScale(), 0.0f);
    EXPECT_FALSE(unit->isMovementActive());
    int frames = 0;
    for (; frames < 200 && carried(path, unit); ++frames) {
        play();
        EXPECT_FALSE(carried(second, unit)) << "carried by two paths at frame " << frames;
    }
    ASSERT_FALSE(carried(path, unit)) << "never released";
    EXPECT_LT(ccpDistance(unit->getPosition(), CCPoint(500, 300)), 20.0f);
    EXPECT_FALSE(unit->objectType() & ZqPObject::kTypeCarried);
    EXPECT_EQ(unit->getBody()->GetGravityScale(), 1.0f);
    EXPECT_TRUE(unit->isMovementActive());
    EXPECT_EQ(unit->getBody()->GetLinearVelocity().x, 0.0f);
    EXPECT_EQ(unit->getBody()->GetLinearVelocity().y, 0.0f);
}

// A path for assets takes the units of the asset its "Object Asset" names, or with a
// negative id any unit.
TEST_F(PathTest, AnAssetsPathTakesItsAssetsUnitsOrAnyUnitForANegativeId)
{
    const auto named = obstacle();
    ZqPObjectAssetUnit* mine = placeUnit(CCPoint(300, 300), named);
    ZqPObjectAssetUnit* stranger = placeUnit(CCPoint(320, 300));
    ZqPObjectAssetUnit* first = placeUnit(CCPoint(700, 300), named);
    ZqPObjectAssetUnit* second = placeUnit(CCPoint(720, 300));
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(), CCPoint(680, 300));
    ZqPObjectAssetPath* own = placePath(CCPoint(300, 300), {{100, 0}}, "kPlayModeLoop", 50.0f, std::to_string(named->id()));
    ZqPObjectAssetPath* any = placePath(CCPoint(700, 300), {{100, 0}}, "kPlayModeLoop", 50.0f, "-1");
    play();
    EXPECT_TRUE(carried(own, mine));
    EXPECT_FALSE(carried(own, stranger));
    EXPECT_TRUE(carried(any, first));
    EXPECT_TRUE(carried(any, second));
    EXPECT_FALSE(carried(any, hero)) << "a character is not a unit";
}

TEST_F(PathTest, LoopStartsOverAtThePathAndPingPongTurnsBack)
{
    ZqPObjectAssetUnit* looped = placeUnit(CCPoint(300, 300));
    ZqPObjectAssetUnit* bounced = placeUnit(CCPoint(300, 100));
    ZqPObjectAssetPath* loop = placePath(CCPoint(300, 300), {{100, 0}}, "kPlayModeLoop");
    ZqPObjectAssetPath* pingPong = placePath(CCPoint(300, 100), {{100, 0}}, "kPlayModePingPong");
    float farthest = 0.0f;
    bool startedOver = false;
    bool turned = false;
    for (int i = 0; i < 150; ++i) {
        const float before = looped->getPositionX();
        play();
        startedOver = startedOver || looped->getPositionX() < before - 50.0f;
        farthest = std::max(farthest, bounced->getPositionX());
        turned = turned || (farthest > 375.0f && bounced->getPositionX() < 320.0f);
    }
    EXPECT_TRUE(startedOver) << "the loop puts the unit back on the path's position";
    EXPECT_TRUE(turned) << "ping-pong comes back to the path's position";
    EXPECT_TRUE(carried(loop, looped));
    EXPECT_TRUE(carried(pingPong, bounced));
}

TEST_F(PathTest, APathWithoutPointsEndsAtTheFrameAfterReachingItsPosition)
{
    ZqPObjectAssetUnit* unit = placeUnit(CCPoint(310, 300));
    ZqPObjectAssetPath* path = placePath(CCPoint(300, 300), {}, "kPlayModeSingle");
    play();
    ASSERT_TRUE(carried(path, unit));
    play();
    EXPECT_FALSE(carried(path, unit));
}

TEST_F(PathTest, APathThatGoesLetsItsObjectsGoAndAGoneObjectLeavesThePath)
{
    ZqPObjectAssetUnit* unit = placeUnit(CCPoint(300, 300));
    // Never in the scene graph, so never cleaned up: only its destructor can let go.
    auto* path = new ZqPObjectAssetPath(ZqModelController::shared()->createModel<ZqModelObjectPath>());
    path->setPosition(CCPoint(300, 300));
    path->setReferenceNode(field()->camera());
    path->setMovementActive(true);
    path->update(kStep);
    ASSERT_TRUE(carried(path, unit));
    path->release();
    EXPECT_FALSE(unit->objectType() & ZqPObject::kTypeCarried);
    EXPECT_EQ(unit->getBody()->GetGravityScale(), 1.0f);
    unit->setState(ZqPObject::kStateRemoved); // no call into the freed path (ASan)

    ZqPObjectAssetUnit* next = placeUnit(CCPoint(600, 300));
    ZqPObjectAssetPath* placed = placePath(CCPoint(600, 300), {{100, 0}}, "kPlayModeLoop");
    play();
    ASSERT_TRUE(carried(placed, next));
    next->setState(ZqPObject::kStateRemoved);
    EXPECT_TRUE(placed->carriedObjects().empty());
}

} // namespace
