// Level sections on a running field: which section starts the game, which ones follow and
// where, the creation queue's pace, and the removal of what leaves the view.
#include "field_play_support.h"

#include "model/objects/ZqModelObjectsControls.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "objects/ZqPObjectManipulator.h"
#include "screens/objects/character_support.h"

#include <algorithm>

using namespace cocos2d;
using namespace field_test;

namespace {

class FieldSectionsTest : public FieldPlayTest {};

TEST_F(FieldSectionsTest, TheStartSectionIsTheDestinationElseTheInitSectionElseTheFirst)
{
    struct Case {
        bool destination;
        bool init;
    };
    for (const Case c : {Case{true, true}, Case{false, true}, Case{false, false}}) {
        ZqPScreenScene* field = makeField();
        auto first = addSection(100.0f, 0, -1, 1);
        auto init = addSection(200.0f, 0, -1, 2);
        auto chosen = addSection(300.0f, 0, -1, 3);
        init->m_initSection->setValue(c.init);
        const int destination = c.destination ? static_cast<int>(chosen->id()) : 0;
        ZqPScreenNavigator::shared()->setSceneDestination(destination);
        logged.clear();
        frame();
        const std::vector<unsigned> added = addedSections();
        ASSERT_FALSE(added.empty());
        const auto start = c.destination ? chosen : c.init ? init : first;
        EXPECT_EQ(added.front(), start->id());
        if (c.destination) {
            EXPECT_EQ(added.size(), 1u) << "a chosen section plays alone";
            EXPECT_FALSE(field->sections().isEndless());
            for (int i = 0; i < 30; ++i)
                frame();
            EXPECT_EQ(addedSections().size(), 1u);
            EXPECT_EQ(field->sections().nextDistance(), 300.0f);
        } else {
            EXPECT_TRUE(field->sections().isEndless());
            EXPECT_LE(added.size(), 5u) << "four appended a frame at the most";
            for (int i = 0; i < 10; ++i)
                frame();
            // Up to the view's length and the back threshold ahead of the still camera.
            EXPECT_GE(field->sections().nextDistance(), 1436.0f);
            EXPECT_LT(field->sections().nextDistance(), 1436.0f + 300.0f);
        }
        scene->removeChild(field);
    }
}

TEST_F(FieldSectionsTest, AppendedSectionsFollowMuteSoloCooldownWidthAndDistanceWindows)
{
    makeField();
    auto start = addSection(100.0f);
    start->m_initSection->setValue(true);
    auto plain = addSection(100.0f);
    plain->m_playCooldown->setValue(1.0f);
    auto muted = addSection(100.0f);
    muted->setMuted(true);
    auto flat = addSection(0.0f);
    auto window = addSection(100.0f, 300.0f, 600.0f);
    auto solo = addSection(100.0f, 1000.0f, 1300.0f);
    solo->setSolo(true);
    for (int i = 0; i < 8; ++i)
        frame();

    // Still camera: sections up to 1136 + 300 points ahead, four a frame at the most.
    const std::vector<unsigned> added = addedSections();
    ASSERT_EQ(added.size(), 15u);
    EXPECT_EQ(added.front(), start->id());
    bool windowPlayed = false;
    long repeats = 0;
    for (std::size_t k = 1; k < added.size(); ++k) {
        const float distance = 100.0f * static_cast<float>(k);
        SCOPED_TRACE(distance);
        EXPECT_NE(added[k], start->id());
        EXPECT_NE(added[k], muted->id());
        EXPECT_NE(added[k], flat->id());
        if (distance >= 1000.0f && distance <= 1300.0f)
            EXPECT_EQ(added[k], solo->id()) << "a solo section in its window is the only choice";
        else if (distance < 300.0f || distance > 600.0f)
            EXPECT_EQ(added[k], plain->id());
        else
            EXPECT_TRUE(added[k] == plain->id() || added[k] == window->id());
        repeats += added[k] == plain->id() && added[k - 1] == plain->id();
        windowPlayed = windowPlayed || added[k] == window->id();
    }
    EXPECT_TRUE(windowPlayed);
    EXPECT_EQ(added.back(), plain->id());
    // Its cooldown of 1 passes over the next search: a repeat follows a search that found
    // nothing, and nothing else made one fail.
    long failed = 0;
    for (const std::string& line : logged)
        failed += line.rfind("[ZqPScreenScene] no level section fits", 0) == 0;
    EXPECT_GT(repeats, 0);
    EXPECT_EQ(failed, repeats);
}

TEST_F(FieldSectionsTest, TheBuildMakesTheScenesOwnObjectsAtOnceAndTakesItsAccelerometer)
{
    ZqPScreenScene* field = makeField();
    auto obstacle = ZqModelController::shared()->createModel<ZqModelAssetObstacle>();
    obstacle->updateCollisionShape(CCSize(20, 20), CCPoint());
    auto unit = ZqModelController::shared()->createModel<ZqModelObjectAssetUnit>();
    unit->setAsset(obstacle);
    unit->setPosition(CCPoint(100, 100));
    sceneModel->addChild(unit);
    auto accelerometer = ZqModelController::shared()->createModel<ZqModelObjectAccelerometer>();
    sceneModel->addChild(accelerometer);
    auto start = addSection(100.0f, 0, -1, 1);
    start->m_initSection->setValue(true);
    registerPilot(CCPoint()); // left from an earlier field
    frame();
    EXPECT_TRUE(ZqPInputController::shared()->characterList().empty()) << "each build starts with none";
    EXPECT_TRUE(ZqPInputController::shared()->hasActiveCharacters());
    ASSERT_EQ(field->camera()->getChildrenCount(), 1u);
    auto* made = dynamic_cast<ZqPObjectAsset*>(field->camera()->getChildren()->objectAtIndex(0));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->model()->id(), unit->id());
    EXPECT_EQ(made->creationIndex(), 0);
    EXPECT_TRUE(made->isMovementActive());
    EXPECT_EQ(made->referenceNode(), field->camera());
    EXPECT_EQ(ZqPObjectAccelerometer::shared()->accelerometerModel(), accelerometer);
    ZqPObjectAccelerometer::purge();

    // The scene plays its init section alone: one line says so, not one a frame.
    for (int i = 0; i < 60; ++i)
        frame();
    long stalls = 0;
    for (const std::string& line : logged)
        stalls += line.rfind("[ZqPScreenScene] no level section fits", 0) == 0;
    EXPECT_EQ(stalls, 1);
}

TEST_F(FieldSectionsTest, TheQueueTakesTwentyModelsAFrame)
{
    ZqPScreenScene* field = makeField();
    auto start = addSection(100.0f, 0, -1, 50);
    start->m_initSection->setValue(true);
    std::vector<std::size_t> left;
    for (int i = 0; i < 4; ++i) {
        frame();
        left.push_back(field->sections().queued().size());
    }
    EXPECT_EQ(left, (std::vector<std::size_t>{30, 10, 0, 0}));
}

TEST_F(FieldSectionsTest, ObjectsBehindAndBesideTheViewGoAndThoseAheadStay)
{
    ZqPScreenScene* field = makeField();
    frame();
    ZqPObjectAsset* behind = addToField(field, assetOf(boxModel(CCPoint(0, 100))));
    ZqPObjectAsset* above = addToField(field, assetOf(boxModel(CCPoint(500, 1300))));
    ZqPObjectAsset* ahead = addToField(field, assetOf(boxModel(CCPoint(3000, 100))));
    // A platform whose centre is far behind but whose body still reaches into the view.
    ZqPObjectAsset* platform = addToField(field, assetOf(boxModel(CCPoint(0, 0), CCSize(4000, 20))));
    for (ZqPObjectAsset* object : {behind, above, ahead, platform})
        object->retain();
    frame();
    EXPECT_EQ(above->getParent(), nullptr) << "beside the widened view";
    above->release();
    EXPECT_EQ(behind->getParent(), field->camera());

    registerPilot(CCPoint(568.0f + 330.0f, 100.0f));
    for (int i = 0; i < 60; ++i)
        frame();
    ASSERT_GT(field->cameraDistance(), 320.0f);
    EXPECT_EQ(behind->getParent(), nullptr) << "over the back threshold";
    EXPECT_EQ(behind->referenceNode(), nullptr) << "kept elsewhere, it lets go of the camera";
    EXPECT_EQ(ahead->getParent(), field->camera());
    EXPECT_EQ(platform->getParent(), field->camera());
    for (ZqPObjectAsset* object : {behind, ahead, platform})
        object->release();
}

class FieldCharacterRemovalTest : public CharacterFieldTest {};

TEST_F(FieldCharacterRemovalTest, ACharacterFallingBesideTheViewDiesAndLeaves)
{
    CharacterSettings settings;
    settings.cameraFlash = 0.5f;
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(settings), CCPoint(300.0f, 300.0f));
    hero->retain();
    ZqPInputController* input = ZqPInputController::shared();
    int frames = 0;
    for (; frames < 300 && hero->state() < 4; ++frames)
        frame();
    ASSERT_LT(frames, 300) << "never died";
    EXPECT_LT(hero->getPositionY(), -550.0f) << "it died of leaving the view";
    EXPECT_NE(field()->scenery().flashSprite(), nullptr) << "as any death: the flash";
    EXPECT_FALSE(input->hasActiveCharacters());
    frame();
    EXPECT_EQ(hero->getParent(), nullptr);
    EXPECT_TRUE(input->characterList().empty());
    hero->release();
}

TEST_F(FieldCharacterRemovalTest, ADyingCharacterWhoseDefeatedAnimationHoldsItLeavesOnceOutOfView)
{
    CharacterSettings settings;
    settings.defeatedAnimation = true;
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(settings), CCPoint(300.0f, 300.0f));
    hero->retain();
    hero->getBody()->SetGravityScale(0.0f);
    hero->setState(4);
    for (int i = 0; i < 120; ++i)
        frame();
    EXPECT_EQ(hero->state(), 4) << "in view, the defeated animation holds it";
    EXPECT_EQ(hero->getParent(), field()->camera());

    hero->getBody()->SetTransform(b2Vec2(15.0f, -60.0f), 0.0f);
    frame();
    frame();
    EXPECT_EQ(hero->state(), 5);
    EXPECT_EQ(hero->getParent(), nullptr);
    EXPECT_TRUE(ZqPInputController::shared()->characterList().empty());
    hero->release();
}

} // namespace
