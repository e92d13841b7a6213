// Teleports with the field's transfer queue, gatekeepers and screen jumps.
#include "screens/objects/mechanics_support.h"

#include "model/objects/ZqModelObjectsLogic.h"
#include "objects/assets/ZqPObjectAssetTriggers.h"

#include <functional>
#include <tuple>

using namespace cocos2d;

namespace {

class TeleportTest : public MechanicsTest {
protected:
    void SetUp() override
    {
        MechanicsTest::SetUp();
        addPlatform(CCPoint(400, 250), CCSize(1000, 20));
    }

    // A 60 x 60 teleport of group at position.
    ZqPObjectAssetTeleport* teleport(const CCPoint& position, float group, float radius = 1000.0f,
                                     const std::function<void(ZqModelObjectTeleport&)>& setUp = {})
    {
        auto model = ZqModelController::shared()->createModel<ZqModelObjectTeleport>();
        model->setPosition(position);
        model->m_groupId->setValue(group);
        model->m_searchRadius->setValue(radius);
        if (setUp)
            setUp(*model);
        return place<ZqPObjectAssetTeleport>(model);
    }

    // The body's x in points.
    static float bodyX(const ZqPObject* object) { return object->getBody()->GetPosition().x * 20.0f; }
};

TEST_F(TeleportTest, ACharacterIsSentOnceAndComesBackOnlyAfterLeavingTheDestination)
{
    ZqPObjectAssetTeleport* entry = teleport(CCPoint(200, 290), 1);
    ZqPObjectAssetTeleport* exit = teleport(CCPoint(600, 290), 1);
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(), CCPoint(200, 280));
    play(3);
    ASSERT_NEAR(bodyX(hero), 600.0f, 1.0f);
    EXPECT_EQ(entry->carried(), nullptr) << "the sender drops what it sent";
    EXPECT_EQ(entry->state(), ZqPObject::kStateNormal);
    EXPECT_TRUE(entry->isMovementActive());
    EXPECT_FALSE(exit->isMovementActive()) << "the destination takes nothing while the arrival overlaps it";
    play(30);
    EXPECT_NEAR(bodyX(hero), 600.0f, 1.0f);
    EXPECT_EQ(field()->teleports().queued(), 0u);

    // Moved off: a sender still carrying it would pull it back at its next update.
    hero->teleportTo(700.0f, 280.0f);
    play(2);
    EXPECT_NEAR(bodyX(hero), 700.0f, 1.0f);
    EXPECT_TRUE(exit->isMovementActive()) << "left: the destination takes objects in again";
    hero->teleportTo(600.0f, 280.0f);
    play(3);
    EXPECT_NEAR(bodyX(hero), 200.0f, 1.0f) << "and sends them back";
}

TEST_F(TeleportTest, ExitOnlyAndDeletingTeleports)
{
    ZqPObjectAssetTeleport* exitOnly =
        teleport(CCPoint(200, 290), 1, 1000.0f, [](ZqModelObjectTeleport& t) { t.m_exitOnly->setValue(true); });
    teleport(CCPoint(600, 290), 1);
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(), CCPoint(200, 280));
    play(5);
    EXPECT_NEAR(bodyX(hero), 200.0f, 1.0f) << "an exit-only teleport takes nothing in";
    EXPECT_EQ(exitOnly->carried(), nullptr);
    hero->teleportTo(600.0f, 280.0f);
    play(3);
    EXPECT_NEAR(bodyX(hero), 200.0f, 1.0f) << "but it is a destination";

    ZqPObjectAssetTeleport* deleting =
        teleport(CCPoint(400, 290), 4, 1000.0f, [](ZqModelObjectTeleport& t) { t.m_deleteInputObject->setValue(true); });
    ZqPObjectAssetTeleport* unused = teleport(CCPoint(500, 290), 4);
    hero->retain();
    hero->teleportTo(400.0f, 280.0f);
    play(3);
    EXPECT_EQ(hero->state(), ZqPObject::kStateRemoved) << "the sent object is deleted";
    EXPECT_EQ(hero->getParent(), nullptr);
    EXPECT_TRUE(deleting->isMovementActive());
    EXPECT_TRUE(unused->isMovementActive()) << "nothing arrived: the destination must not wait for it";
    hero->release();
}

TEST_F(TeleportTest, EveryOtherTeleportStrictlyInRangeIsQueuedAndSwitchedOff)
{
    ZqPObjectAssetTeleport* source = teleport(CCPoint(100, 500), 5, 500.0f);
    ZqPObjectAssetTeleport* near = teleport(CCPoint(400, 500), 5);
    ZqPObjectAssetTeleport* far = teleport(CCPoint(500, 500), 5);
    ZqPObjectAssetTeleport* edge = teleport(CCPoint(600, 500), 5);
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(), CCPoint(900, 280));
    source->beginContact(hero, nullptr, true);
    ASSERT_EQ(source->carried(), hero);
    source->setState(ZqPObject::kStateMoving);
    EXPECT_EQ(field()->teleports().queued(), 2u) << "never itself, never at the radius";
    EXPECT_FALSE(near->isMovementActive());
    EXPECT_FALSE(far->isMovementActive());
    EXPECT_TRUE(edge->isMovementActive());
    EXPECT_EQ(source->carried(), nullptr);
    field()->teleports().transfer();
    EXPECT_NEAR(bodyX(hero), 500.0f, 0.01f) << "the last destination wins";
    EXPECT_EQ(field()->teleports().queued(), 0u);
}

TEST_F(TeleportTest, QueuedTransfersLetGoOfTheirObjectsAtARestartAndWithTheField)
{
    ZqPObjectAssetTeleport* destination = teleport(CCPoint(600, 290), 1);
    ZqPObjectAssetUnit* unit = place<ZqPObjectAssetUnit>(unitModel(obstacle(), CCPoint(300, 400)));
    play();
    // A destination gone from the field leads nowhere.
    ZqPObjectAssetTeleport* gone = teleport(CCPoint(900, 290), 1);
    field()->queueTeleport(unit, gone);
    field()->camera()->removeChild(gone);
    const float x = unit->getPositionX();
    field()->teleports().transfer();
    EXPECT_EQ(unit->getPositionX(), x);
    field()->queueTeleport(unit, destination);
    field()->queueTeleport(nullptr, destination);
    EXPECT_EQ(field()->teleports().queued(), 1u);
    unit->retain();
    field()->camera()->removeChild(unit);
    EXPECT_EQ(unit->retainCount(), 2u) << "held while queued";
    field()->teleports().clear();
    EXPECT_EQ(unit->retainCount(), 1u);
    unit->release();

    // The field goes, world first, while a transfer waits (ASan; the fixture counts leaks).
    field()->queueTeleport(place<ZqPObjectAssetUnit>(unitModel(obstacle(), CCPoint(300, 400))),
                           teleport(CCPoint(600, 290), 1));
    field()->removeFromParentAndCleanup(true);
    frame();
}

class GatekeeperTest : public MechanicsTest {
protected:
    ZqPObjectAssetGatekeeper* gatekeeper(float passed, const CCPoint& position = CCPoint(300, 300))
    {
        auto model = ZqModelController::shared()->createModel<ZqModelObjectGatekeeper>();
        model->setPosition(position);
        model->m_passedAmount->setValue(passed);
        return place<ZqPObjectAssetGatekeeper>(model);
    }
};

TEST_F(GatekeeperTest, AfterThePassedAmountEachCharacterIsRemovedAtItsNextUpdate)
{
    ZqPObjectAssetGatekeeper* gate = gatekeeper(1.0f);
    ZqPObjectAssetCharacter* first = spawnCharacter(characterAsset(), CCPoint(300, 400));
    for (int i = 0; i < 120 && first->getPositionY() > 200.0f; ++i)
        play();
    EXPECT_EQ(gate->passedCount(), 1);
    EXPECT_LT(first->state(), ZqPObject::kStateDestroyed);
    ZqPObjectAssetCharacter* second = spawnCharacter(characterAsset(), CCPoint(300, 400));
    second->retain();
    for (int i = 0; i < 120 && gate->passedCount() < 2; ++i)
        play();
    EXPECT_EQ(second->state(), ZqPObject::kStateRemoved);
    EXPECT_LT(first->state(), ZqPObject::kStateDestroyed);
    EXPECT_EQ(loggedCount("gatekeeper begin contact"), 2);
    second->release();

    // Contacts of characters only count, compared with the amount as floats.
    ZqPObjectAssetGatekeeper* some = gatekeeper(2.5f, CCPoint(900, 300));
    some->beginContact(place<ZqPObjectAssetUnit>(unitModel(obstacle(), CCPoint(600, 600))), nullptr, true);
    for (int contact = 1; contact <= 3; ++contact) {
        some->beginContact(first, nullptr, true);
        EXPECT_EQ(first->requestedState(), contact == 3 ? int{ZqPObject::kStateRemoved} : ZqPObject::kNoRequest)
            << "contact " << contact;
    }
    first->requestState(ZqPObject::kNoRequest);
}

// Stands in for the field and keeps the screen jumps asked of it.
class JumpRecorder final : public ZqGameField {
public:
    using Jump = std::tuple<std::string, bool, int, int>;

    CCNode* camera() const override { return nullptr; }
    ZqPhysicsWorld* world() const override { return nullptr; }
    void adoptObject(ZqPObject*, ZqPObject*) override {}
    void flash(float) override {}
    void shake(float) override {}
    ZqPObjectAssetPowerup* findPowerupByName(const ZqPObjectAssetPowerup&) const override { return nullptr; }
    void saveCheckpoint(int, const CCPoint&) override {}
    void activateCheckpoint() override {}
    void setMagnetActive(bool) override {}
    void killAllEnemies() override {}
    std::vector<ZqPObjectAssetTeleport*> findTeleports(float) const override { return {}; }
    void queueTeleport(ZqPObjectAsset*, ZqPObjectAssetTeleport*) override {}
    void unregisterMirror(ZqPObjectAssetMirror*) override {}
    void setPendingAction(int) override {}
    void goToEndScreen() override {}
    void requestScreenJump(const std::string& key, bool pause, int startMode, int flag) override
    {
        jumps.emplace_back(key, pause, startMode, flag);
    }

    std::vector<Jump> jumps;
};

JumpRecorder* s_recorder = nullptr;

TEST_F(GatekeeperTest, AScreenJumpTouchedByALiveCharacterSwitchesWithTheStartModeOfItsFunction)
{
    JumpRecorder recorder;
    s_recorder = &recorder;
    ZqGameFieldLookup lookup = [] { return static_cast<ZqGameField*>(s_recorder); };
    zqInstallFieldLookups(lookup, lookup);
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(), CCPoint(900, 280));
    ZqPObjectAssetUnit* unit = place<ZqPObjectAssetUnit>(unitModel(obstacle(), CCPoint(900, 600)));
    const std::pair<const char*, int> functions[] = {
        {"kStartKeepScores", 2}, {"kStartCheckpointJump", 0}, {"", 6}, {"kStartSomethingElse", 6}};
    for (const auto& [function, mode] : functions) {
        auto model = ZqModelController::shared()->createModel<ZqModelObjectScreenJump>();
        model->setName("Level 2");
        model->m_function->setValue(function);
        model->m_pauseCurrentWorld->setValue(true);
        auto* jump = place<ZqPObjectAssetScreenJump>(model);
        jump->beginContact(unit, nullptr, true);
        jump->update(kStep);
        EXPECT_TRUE(recorder.jumps.empty()) << "units are ignored";
        jump->beginContact(hero, nullptr, true);
        jump->update(kStep);
        ASSERT_EQ(recorder.jumps.size(), 1u) << function;
        EXPECT_EQ(recorder.jumps[0], JumpRecorder::Jump("Level 2", true, mode, 1)) << function;
        jump->update(kStep);
        EXPECT_EQ(jump->state(), ZqPObject::kStateNormal);
        recorder.jumps.clear();
    }
    auto model = ZqModelController::shared()->createModel<ZqModelObjectScreenJump>();
    auto* jump = place<ZqPObjectAssetScreenJump>(model);
    hero->setState(ZqPObject::kStateDestroyed);
    jump->beginContact(hero, nullptr, true);
    jump->update(kStep);
    EXPECT_TRUE(recorder.jumps.empty()) << "a dying character is ignored";
    zqInstallScreenAnswers();
    s_recorder = nullptr;
}

} // namespace
