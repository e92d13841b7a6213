// Behaviour components on a character standing on a platform: the iso jump lands it as on
// ground, and the slide gives it back its own collision filter.
#include "screens/objects/character_support.h"

#include "app/ZqObjectModelHolder.h"
#include "components/ZqComponentIsoJump.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "tools/ZqMediaWriter.h"

using namespace cocos2d;

namespace {

class CharacterComponentTest : public CharacterFieldTest {
protected:
    void TearDown() override
    {
        CC_SAFE_RELEASE(m_control);
        CharacterFieldTest::TearDown();
    }

    // Press and release of a control button named "J".
    void press() { ZqPInputController::shared()->actionBegin(ZqPInputController::kControlPressed, control()); }
    void release() { ZqPInputController::shared()->actionEnd(ZqPInputController::kControlReleased, control()); }

private:
    CCNode* control()
    {
        if (!m_control) {
            auto model = ZqModelController::shared()->createModel<ZqModelObjectButtonControl>();
            model->setName("J");
            m_control = CCNode::create();
            m_control->setUserObject(ZqObjectModelHolder::create(model));
            m_control->retain();
        }
        return m_control;
    }

    CCNode* m_control = nullptr;
};

TEST_F(CharacterComponentTest, AnIsoJumpLandsACharacterAsOnGround)
{
    CharacterSettings settings;
    settings.maxSpeed = CCPoint(); // a moving character that stays where it is
    auto asset = characterAsset(settings);
    auto landing = ZqModelController::shared()->createModel<ZqModelSound>();
    std::filesystem::create_directories(dir.file("data/sounds"));
    ASSERT_TRUE(zqmedia::writeMp3(dir.file("data/sounds/ZqModelSound_ID" + std::to_string(landing->id()) + ".mp3"), 3.0));
    asset->m_groundCollision->setValue(landing);
    auto jump = ZqModelController::shared()->createModel<ZqModelComponentIsoJump>();
    jump->m_event->setValue("kButton-J-0");
    jump->m_jumpVelocity->setValue(CCPoint(0.0f, 120.0f));
    jump->m_jumpGravity->setValue(CCPoint(0.0f, 240.0f));
    jump->m_animation->setValue(animation(1.0f, false));
    asset->addChild(jump);
    addPlatform(CCPoint(0.0f, 0.0f), CCSize(600.0f, 40.0f));
    ZqPObjectAssetCharacter* hero = spawnCharacter(asset, CCPoint(0.0f, 44.0f));
    landOnGround(hero);
    step(5);
    auto* component = dynamic_cast<ZqComponentIsoJump*>(hero->components().at(0));
    ASSERT_NE(component, nullptr);

    for (const bool moving : {false, true}) {
        const std::size_t sounds = ZqSoundRegistry::shared().liveCount();
        press();
        release();
        step();
        ASSERT_TRUE(component->isJumping());
        if (moving)
            hero->setMoveDirection(1.0f, 0.0f);
        hero->setState(3); // shown jumping meanwhile
        int frames = 0;
        for (; frames < 120 && component->isJumping(); ++frames)
            step();
        ASSERT_LT(frames, 120) << "never came down";
        EXPECT_EQ(hero->jumpCount(), 0);
        EXPECT_TRUE(hero->controlBits() & ZqPObjectAssetCharacter::kOnGround);
        EXPECT_EQ(hero->state(), moving ? 1 : 0);
        EXPECT_EQ(ZqSoundRegistry::shared().liveCount(), sounds + 1) << "the landing sound, once";
        step(5);
        EXPECT_EQ(ZqSoundRegistry::shared().liveCount(), sounds + 1);
        hero->setMoveDirection(0.0f, 0.0f);
    }
}

TEST_F(CharacterComponentTest, ASlidingCharacterGetsItsOwnFilterBack)
{
    auto asset = characterAsset();
    auto slide = ZqModelController::shared()->createModel<ZqModelComponentSlide>();
    slide->m_collisionShape->setValue(box(40.0f, 10.0f));
    asset->addChild(slide);
    addPlatform(CCPoint(0.0f, 0.0f), CCSize(600.0f, 40.0f));
    ZqPObjectAssetCharacter* hero = spawnCharacter(asset, CCPoint(0.0f, 44.0f));
    landOnGround(hero);

    press();
    step();
    EXPECT_EQ(hero->getBody()->GetFixtureList()->GetFilterData().categoryBits, 0x0001) << "the slide's own filter";
    release();
    const b2Fixture* fixture = hero->getBody()->GetFixtureList();
    ASSERT_NE(fixture, nullptr);
    EXPECT_EQ(fixture->GetNext(), nullptr);
    EXPECT_FALSE(fixture->IsSensor());
    EXPECT_EQ(fixture->GetFilterData().categoryBits, 0x0002);
    EXPECT_EQ(fixture->GetFilterData().maskBits, 0x0001);
    EXPECT_EQ(fixture->GetFilterData().groupIndex, -1);
}

} // namespace
