// A field's frame, in order; the camera, the game speed and the distance; and what a field
// leaves behind when it goes.
#include "field_play_support.h"

#include "app/ScoreRegistry.h"
#include "screens/objects/character_support.h"

using namespace cocos2d;
using namespace field_test;

namespace {

// What one object sees of the field when it updates.
struct Seen {
    unsigned steps;
    float cameraX;
    unsigned children;
    std::size_t queued;
    float gameSpeed;
    float dt;
    bool operator==(const Seen&) const = default;
};

class Probe : public ZqPObjectAsset {
public:
    Probe(const std::shared_ptr<ZqModel>& model, ZqPScreenScene* field) : ZqPObjectAsset(model), m_field(field) {}
    void update(float dt) override
    {
        ZqPObjectAsset::update(dt);
        seen.push_back({m_field->world()->stepCount(), m_field->camera()->getPositionX(),
                        m_field->camera()->getChildrenCount(), m_field->sections().queued().size(),
                        GameplayParameters::shared()->gameSpeed(), dt});
    }
    std::vector<Seen> seen;

private:
    ZqPScreenScene* m_field;
};

class FieldFrameTest : public FieldPlayTest {};

TEST_F(FieldFrameTest, EachFrameRunsCameraStepObjectsFieldStepAndQueueInThatOrder)
{
    ZqPScreenScene* field = makeField(0.5f);
    sceneModel->m_gameSpeedMin->setValue(1.0f);
    sceneModel->m_gameSpeedMax->setValue(2.0f);
    sceneModel->m_speedIncrease->setValue(6.0f);
    sceneModel->m_gravity->setValue(CCPoint(0, -60));
    auto start = addSection(100.0f, 0, -1, 3);
    start->m_initSection->setValue(true);
    auto* probe = new Probe(boxModel(CCPoint(100, 100)), field);
    probe->autorelease();
    field->camera()->addChild(probe);
    probe->setReferenceNode(field->camera());
    frame();
    probe->createBody(field->world(), false);
    probe->getBody()->SetType(b2_dynamicBody);
    registerPilot(CCPoint(568.0f + 100.0f, 100.0f));
    frame();

    ASSERT_EQ(probe->seen.size(), 2u);
    // Frame 1: the build, one step, the objects (the queue has not taken the section's
    // models yet), then the field step raises the speed and the queue runs.
    EXPECT_EQ(probe->seen[0], (Seen{1, 0.0f, 1, 3, 1.0f, 1.0f / 60.0f}));
    // Frame 2: the camera has moved before the step and the objects; the speed rose by
    // increase / 60 at the end of the frame before.
    EXPECT_EQ(probe->seen[1], (Seen{2, -20.0f, 1, 0, 1.1f, 1.0f / 60.0f}));
    EXPECT_FLOAT_EQ(GameplayParameters::shared()->gameSpeed(), 1.2f);
    // Time scale 0.5: the one step a frame is 1/120 s.
    EXPECT_NEAR(probe->getBody()->GetLinearVelocity().y, -60.0f / 120.0f, 1e-4f);
}

TEST_F(FieldFrameTest, TheCameraClosesItsShareOfTheGapAlongThePlayAndNeverGoesBack)
{
    ZqPScreenScene* field = makeField();
    sceneModel->m_key->setValue("Run");
    sceneModel->m_scoreMultiplier->setValue(2.0f);
    sceneModel->m_gameSpeedMin->setValue(2.0f);
    sceneModel->m_gameSpeedMax->setValue(2.5f);
    sceneModel->m_speedIncrease->setValue(6.0f);
    const float globalBefore = ScoreRegistry::global().distance.session;
    frame();
    EXPECT_EQ(ScoreRegistry::currentKey(), "Run");
    const float speed = GameplayParameters::shared()->gameSpeed();
    Pilot* pilot = registerPilot(CCPoint(568.0f + 1000.0f, 300.0f));
    float gap = 1000.0f;
    for (int i = 0; i < 3; ++i) {
        frame();
        gap *= 0.8f;
        EXPECT_NEAR(field->cameraDistance(), 1000.0f - gap, 1e-2f);
    }
    EXPECT_EQ(field->camera()->getPositionY(), 0.0f) << "across the play it stays";
    EXPECT_NEAR(speed, 2.1f, 1e-5f);
    EXPECT_FLOAT_EQ(GameplayParameters::shared()->gameSpeed(), 2.4f);
    frame();
    EXPECT_FLOAT_EQ(GameplayParameters::shared()->gameSpeed(), 2.5f) << "up to the maximum";

    // 1000 - gap points went by: metres are points / 20, times the multiplier of 2.
    const float travelled = field->cameraDistance();
    EXPECT_NEAR(ScoreRegistry::current().distance.session, travelled / 20.0f * 2.0f, 1e-3f);
    EXPECT_NEAR(ScoreRegistry::global().distance.session - globalBefore, travelled / 20.0f * 2.0f, 1e-3f);

    pilot->setPosition(CCPoint(0.0f, 300.0f));
    for (int i = 0; i < 5; ++i)
        frame();
    EXPECT_FLOAT_EQ(field->cameraDistance(), travelled) << "never back";

    // A smoothing outside (0, 1] snaps.
    sceneModel->m_cameraSmooth->setValue(0.0f);
    pilot->setPosition(CCPoint(568.0f + 3000.0f, 300.0f));
    frame();
    EXPECT_FLOAT_EQ(field->cameraDistance(), 3000.0f);
}

class LeavingFieldTest : public CharacterFieldTest {};

TEST_F(LeavingFieldTest, AFieldThatGoesTakesItsCharactersOffTheInputController)
{
    ZqPInputController* input = ZqPInputController::shared();
    CharacterSettings settings;
    settings.stateAnimations = true;
    addPlatform(CCPoint(300.0f, 0.0f), CCSize(600.0f, 40.0f));
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(settings), CCPoint(300.0f, 44.0f));
    hero->retain();
    landOnGround(hero);
    ASSERT_EQ(input->characterList().size(), 1u);

    field()->removeFromParent();
    frame();
    EXPECT_TRUE(input->characterList().empty());
    input->actionBegin(ZqPInputController::kShoot, nullptr);
    input->actionEnd(ZqPInputController::kShoot, nullptr);
    EXPECT_NE(hero->state(), 2) << "a menu's shoot key reaches no hero";
    hero->release();

    // The next field answers for its own hero alone.
    ZqPScreenScene* next = makeField();
    frame();
    EXPECT_TRUE(input->hasActiveCharacters()) << "none registered yet";
    auto* second = dynamic_cast<ZqPObjectAssetCharacter*>(
        ZqPObjectAsset::createAssetObject(placeCharacter(characterAsset(), CCPoint(100.0f, 200.0f))));
    ASSERT_NE(second, nullptr);
    addToField(next, second);
    EXPECT_EQ(input->charactersCenter(), CCPoint(100.0f, 200.0f));
    second->setState(4);
    EXPECT_FALSE(input->hasActiveCharacters());
}

} // namespace
