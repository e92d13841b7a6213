// The game field's core: world built at the first update from reset gameplay parameters,
// one physics step a frame at the time scale, objects stepped and removed, adoption, flash
// and shake, contacts to both objects, and a clean teardown.
#include "field_test_support.h"

#include "app/ZqPSettingsController.h"
#include "screens/ZqPContactListener.h"
#include "screens/ZqPScreenNavigator.h"
#include "touch/CCTouchDispatcher.h"

#include <algorithm>
#include <cmath>
#include <functional>

using namespace cocos2d;
using namespace field_test;

namespace {

class FieldTest : public RuntimeTest {
protected:
    CCSize viewSize() const override { return kFieldViewSize; }

    // A dynamic box falling from (x, 1000) under the scene's gravity, inside the view.
    ZqPObjectAsset* fallingBox(ZqPScreenScene* field, float x)
    {
        ZqPObjectAsset* box = addToField(field, assetOf(boxModel(CCPoint(x, 1000))));
        box->getBody()->SetType(b2_dynamicBody);
        return box;
    }
};

TEST_F(FieldTest, WorldIsBuiltAtTheFirstUpdateFromDefaultsAndTheScene)
{
    GameplayParameters::shared()->setFriction(9.0f);
    GameplayParameters::shared()->saveToDictionary();
    ZqPScreenScene* field = makeField();
    sceneModel->m_gravity->setValue(CCPoint(0, -20));
    sceneModel->m_friction->setValue(0.25f);
    EXPECT_EQ(field->world(), nullptr) << "not when made";
    EXPECT_EQ(ZqPScreen::runningScreen(), field);
    EXPECT_EQ(ZqPScreenNavigator::shared()->currentGameScene(), field);
    frame();
    ASSERT_NE(field->world(), nullptr);
    EXPECT_EQ(field->world()->box2d().GetGravity(), b2Vec2(0, -20));
    EXPECT_EQ(GameplayParameters::shared()->friction(), 0.25f);
    EXPECT_EQ(GameplayParameters::shared()->saveCounter(), 0) << "the nesting is dropped";
    EXPECT_EQ(field->world()->stepCount(), 1u);
    frame();
    frame();
    EXPECT_EQ(field->world()->stepCount(), 3u) << "one step a frame";

    // A second field starts again from the defaults, not from what the first one left.
    GameplayParameters::shared()->setRestitution(0.75f);
    GameplayParameters::shared()->setGravity(CCPoint(1, 1));
    scene->removeChild(field);
    ZqPScreenScene* second = makeField();
    frame();
    EXPECT_EQ(GameplayParameters::shared()->restitution(), ZqModelGeneralSettings::shared()->physics().restitution);
    EXPECT_EQ(second->world()->box2d().GetGravity(), b2Vec2(0, -50));
}

TEST_F(FieldTest, HalfTheTimeScaleGivesHalfTheSpeedAndAQuarterOfTheFall)
{
    float speed[2];
    float fall[2];
    const float warps[2] = {1.0f, 0.5f};
    for (int run = 0; run < 2; ++run) {
        ZqPScreenScene* field = makeField(warps[run]);
        frame();
        ZqPObjectAsset* box = fallingBox(field, 100);
        const float start = box->getBody()->GetPosition().y;
        for (int i = 0; i < 60; ++i)
            frame();
        speed[run] = box->getBody()->GetLinearVelocity().y;
        fall[run] = start - box->getBody()->GetPosition().y;
        EXPECT_NEAR(box->getPositionY(), box->getBody()->GetPosition().y / 0.05f, 0.01f) << "the node follows";
        scene->removeChild(field);
    }
    ASSERT_LT(speed[0], 0.0f);
    EXPECT_NEAR(speed[1] / speed[0], 0.5f, 1e-4f);
    EXPECT_NEAR(fall[1] / fall[0], 0.25f, 1e-3f);
}

TEST_F(FieldTest, ObjectsReachingStateFiveLeaveTheCameraAfterTheWalk)
{
    ZqPScreenScene* field = makeField();
    frame();
    ZqPObjectAsset* a = addToField(field, assetOf(boxModel(CCPoint(10, 10))));
    ZqPObjectAsset* b = addToField(field, assetOf(boxModel(CCPoint(60, 10))));
    ZqPObjectAsset* c = addToField(field, assetOf(boxModel(CCPoint(110, 10))));
    a->requestState(ZqPObject::kStateRemoved);
    c->requestState(ZqPObject::kStateRemoved);
    b->retain();
    frame();
    ASSERT_EQ(field->camera()->getChildrenCount(), 1u);
    EXPECT_EQ(field->camera()->getChildren()->objectAtIndex(0), b);
    EXPECT_EQ(field->world()->box2d().GetBodyCount(), 1) << "their bodies went with them";
    b->release();
}

TEST_F(FieldTest, AdoptionPlacesTheObjectAtTheSourceInCameraSpace)
{
    ZqPScreenScene* field = makeField();
    frame();
    ZqPObjectAsset* source = addToField(field, assetOf(boxModel(CCPoint(100, 50))));
    field->camera()->reorderChild(source, 5);
    source->setRotation(30.0f);
    source->setScale(2.0f);

    ZqPObjectAsset* copy = assetOf(boxModel(CCPoint(0, 0)));
    copy->setZOrder(2);
    field->adoptObject(copy, source);
    EXPECT_EQ(copy->getParent(), field->camera());
    EXPECT_EQ(copy->getZOrder(), 7);
    EXPECT_EQ(copy->getPosition(), CCPoint(100, 50));
    EXPECT_FLOAT_EQ(copy->getRotation(), 30.0f);
    EXPECT_FLOAT_EQ(copy->getScaleX(), 2.0f);
    EXPECT_EQ(copy->referenceNode(), field->camera());
    ASSERT_NE(copy->getBody(), nullptr);
    EXPECT_NEAR(copy->getBody()->GetPosition().x, 5.0f, 1e-4f);
    EXPECT_EQ(copy->fieldZOrder(), 7);

    ZqPObjectAsset* lone = assetOf(boxModel(CCPoint(3, 4)));
    field->adoptObject(lone, nullptr);
    EXPECT_EQ(lone->getZOrder(), ZqPScreenScene::kAdoptedZOrder);
    EXPECT_EQ(lone->getPosition(), CCPoint(3, 4));
    field->adoptObject(nullptr, source);
}

TEST_F(FieldTest, FlashFadesOutAndShakeMovesOnlyTheFieldLayer)
{
    ZqPScreenScene* field = makeField();
    frame();
    field->flash(0.5f);
    ASSERT_NE(field->scenery().flashSprite(), nullptr);
    frame();
    EXPECT_EQ(field->scenery().flashSprite()->getOpacity(), static_cast<GLubyte>(255.0f * (0.5f - kStep) / 0.5f));
    EXPECT_GT(pixel(kWidth / 2, kHeight / 2)[0], 200) << "white over the field";
    for (int i = 0; i < 30; ++i)
        frame();
    EXPECT_EQ(field->scenery().flashSprite(), nullptr);

    field->shake(2.0f);
    bool moved = false;
    for (int i = 0; i < 60; ++i) {
        frame();
        const CCPoint offset = field->fieldLayer()->getPosition();
        EXPECT_LE(std::fabs(offset.x), 70.0f);
        EXPECT_LE(std::fabs(offset.y), 70.0f);
        moved = moved || offset != CCPointZero;
    }
    EXPECT_TRUE(moved);
    EXPECT_EQ(field->getPosition(), CCPointZero) << "the screen itself stays";
    for (int i = 0; i < 61; ++i)
        frame();
    EXPECT_EQ(field->fieldLayer()->getPosition(), CCPointZero) << "back at rest";
}

// An object that records its contacts and can ask for bodies inside them.
class ContactProbe : public ZqPObjectAsset {
public:
    using ZqPObjectAsset::ZqPObjectAsset;
    void beginContact(ZqPObject* other, b2Contact* contact, bool flag) override
    {
        log->push_back(std::string("begin ") + name + " with " + static_cast<ContactProbe*>(other)->name);
        if (onBegin)
            onBegin(this);
        ZqPObjectAsset::beginContact(other, contact, flag);
    }
    void endContact(ZqPObject* other, b2Contact*) override
    {
        log->push_back(std::string("end ") + name);
    }
    void preSolve(ZqPObject* other, b2Contact*, const b2Manifold*) override { ++preSolves; }
    void destroyBody() { m_body.destroy(); }

    const char* name = "";
    std::vector<std::string>* log = nullptr;
    std::function<void(ContactProbe*)> onBegin;
    int preSolves = 0;
};

// A colliding probe named name at, in field's camera, logging into log.
ContactProbe* probe(ZqPScreenScene* field, std::vector<std::string>& log, const char* name, const CCPoint& at)
{
    auto* object = new ContactProbe(RuntimeTest::boxModel(at));
    object->autorelease();
    object->name = name;
    object->log = &log;
    object->setCollisionKind(1);
    return static_cast<ContactProbe*>(RuntimeTest::addToField(field, object));
}

TEST_F(FieldTest, ContactsReachBothObjectsAndHandlersDeferBodyChanges)
{
    ZqPScreenScene* field = makeField();
    frame();
    std::vector<std::string> log;
    ContactProbe* ground = probe(field, log, "ground", CCPoint(100, 100));
    ContactProbe* faller = probe(field, log, "faller", CCPoint(100, 140));
    faller->getBody()->SetType(b2_dynamicBody);

    ZqPObjectAsset* late = nullptr;
    faller->onBegin = [&](ContactProbe*) {
        // Inside the step: the body of a new object waits for its next update, and a
        // destroyed body goes right after the step.
        late = assetOf(boxModel(CCPoint(300, 300)));
        late->retain();
        late->createBody(field->world(), false);
    };
    for (int i = 0; i < 40 && !late; ++i)
        frame();
    ASSERT_NE(late, nullptr) << "they never touched";
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0], "begin ground with faller");
    EXPECT_EQ(log[1], "begin faller with ground");
    EXPECT_FALSE(late->getBody());
    EXPECT_TRUE(late->isBodyPending());
    frame();
    EXPECT_GT(faller->preSolves, 0);
    EXPECT_EQ(faller->preSolves, ground->preSolves);

    // Removed outside a step, the ground's body goes at once and ends its contact on both.
    const int bodies = field->world()->box2d().GetBodyCount();
    ground->removeFromParent();
    EXPECT_EQ(field->world()->box2d().GetBodyCount(), bodies - 1);
    EXPECT_NE(std::find(log.begin(), log.end(), "end faller"), log.end());

    late->update(kStep);
    EXPECT_TRUE(late->getBody());
    EXPECT_FALSE(late->isBodyPending());
    late->release();
}

TEST_F(FieldTest, ADestroyAskedForDuringTheStepHappensRightAfterIt)
{
    ZqPScreenScene* field = makeField();
    frame();
    std::vector<std::string> log;
    probe(field, log, "ground", CCPoint(100, 100));
    ContactProbe* faller = probe(field, log, "faller", CCPoint(100, 140));
    faller->getBody()->SetType(b2_dynamicBody);
    int bodiesDuringStep = -1;
    faller->onBegin = [&](ContactProbe* self) {
        if (!self->getBody())
            return;
        self->destroyBody();
        bodiesDuringStep = field->world()->box2d().GetBodyCount();
    };
    for (int i = 0; i < 40 && bodiesDuringStep < 0; ++i)
        frame();
    EXPECT_EQ(bodiesDuringStep, 2) << "still there inside the step";
    EXPECT_EQ(faller->getBody(), nullptr);
    EXPECT_EQ(field->world()->box2d().GetBodyCount(), 1) << "gone right after it";
    frame();
}

TEST_F(FieldTest, JointsThatGoWithABodyAreForgottenByTheInputController)
{
    ZqPScreenScene* field = makeField();
    frame();
    ZqPObjectAsset* a = addToField(field, assetOf(boxModel(CCPoint(0, 0))));
    ZqPObjectAsset* b = addToField(field, assetOf(boxModel(CCPoint(50, 0))));
    b->getBody()->SetType(b2_dynamicBody);
    b2RevoluteJointDef definition;
    definition.Initialize(a->getBody(), b->getBody(), b2Vec2(1, 0));
    auto* joint = static_cast<b2RevoluteJoint*>(field->world()->box2d().CreateJoint(&definition));
    ZqPInputController::shared()->registerMotorJoint(joint, 1.0f);
    ASSERT_EQ(ZqPInputController::shared()->motorJointCount(), 1u);
    frame(); // the camera holds the only reference now
    a->removeFromParent();
    EXPECT_EQ(ZqPInputController::shared()->motorJointCount(), 0u);
    EXPECT_EQ(field->world()->box2d().GetJointCount(), 0);
}

TEST_F(FieldTest, AnObjectKeptPastItsFieldLetsGoOfItsBody)
{
    ZqPScreenScene* field = makeField();
    frame();
    ZqPObjectAsset* kept = addToField(field, assetOf(boxModel(CCPoint(0, 0))));
    kept->retain();
    ZqPObjectAsset* pending = assetOf(boxModel(CCPoint(0, 0)));
    pending->retain();
    frame();
    scene->removeChild(field);
    EXPECT_EQ(kept->getParent(), nullptr);
    EXPECT_EQ(kept->getBody(), nullptr) << "the body went with the world";
    kept->update(kStep);
    kept->release();
    pending->release();
}

// A field object that takes touches, as the on-screen controls do.
class TouchObject : public ZqPObjectAsset, public CCTouchDelegate {
public:
    using ZqPObjectAsset::ZqPObjectAsset;
    bool ccTouchBegan(CCTouch*, CCEvent*) override { return false; }
};

TEST_F(FieldTest, TearingDownAFieldOfTwoHundredObjectsLeavesNothing)
{
    ZqPInputController::shared(); // made once for the run; objects ask it for the characters
    ZqPSettingsController::shared(); // the same; a showing screen asks it about ads
    const long before = CCObject::liveObjectCount();
    {
        ZqPScreenScene* field = makeField();
        frame();
        for (int i = 0; i < 199; ++i)
            addToField(field, assetOf(boxModel(CCPoint(static_cast<float>(i % 20) * 50, static_cast<float>(i / 20) * 50))));
        auto* touching = new TouchObject(boxModel(CCPoint(0, 600)));
        touching->autorelease();
        addToField(field, touching);
        CCDirector::sharedDirector()->getTouchDispatcher()->addTargetedDelegate(touching, 0, true);
        EXPECT_EQ(field->camera()->getChildrenCount(), 200u);
        for (int i = 0; i < 3; ++i)
            frame();
        scene->removeChild(field);
    }
    frame();
    EXPECT_EQ(CCObject::liveObjectCount(), before);
}

} // namespace
