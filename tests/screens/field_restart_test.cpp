// Field restarts: each start-mode bit by its effects, objects and characters made again,
// and nothing left behind by a hundred restarts.
#include "field_play_support.h"

#include "app/ScoreRegistry.h"
#include "app/ZqPInputController.h"
#include "app/ZqPurchaseRegistry.h"
#include "model/GameplayParameters.h"
#include "model/scene/ZqModelButtons.h"

#include <gtest/gtest.h>

namespace {

using namespace field_test;

class FieldRestartTest : public FieldPlayTest {
protected:
    void SetUp() override
    {
        FieldPlayTest::SetUp();
        ScoreRegistry::clear();
        field = makeField();
        sceneModel->m_gameSpeedMin->setValue(2.0f);
        sceneModel->m_gameSpeedMax->setValue(100.0f);
        sceneModel->m_speedIncrease->setValue(60.0f);
        addSection(2000.0f, 0.0f, -1.0f, 5);
        auto extraLife = ZqModelController::shared()->createModel<ZqModelObjectButtonPurchase>();
        extraLife->setName("Extra Life");
        extraLife->m_oneTimePurchase->setValue("kPerGamePurchase");
        field->update(kStep);
    }
    void TearDown() override
    {
        ScoreRegistry::clear();
        FieldPlayTest::TearDown();
    }

    // Plays a little and earns scores, with a registered stand-in character.
    void play()
    {
        registerPilot(cocos2d::CCPoint(100, 100));
        ScoreRegistry::current().distance.add(30.0f);
        purchasedItemFlag("Extra Life") = false;
        for (int i = 0; i < 3; ++i)
            field->update(kStep);
    }
    float speed() const { return GameplayParameters::shared()->gameSpeed(); }

    ZqPScreenScene* field = nullptr;
};

TEST_F(FieldRestartTest, EachStartModeBitHasItsOwnEffect)
{
    ASSERT_EQ(addedSections().size(), 1u);
    struct Case {
        int mode;
        bool purchasesReset, scoresReset, extraStep;
    };
    for (const Case& c : {Case{14, true, true, true}, Case{10, true, false, true}, Case{8, false, false, true},
                          Case{2, true, false, false}, Case{1, false, false, false}}) {
        SCOPED_TRACE(c.mode);
        play();
        ASSERT_GT(speed(), 2.0f);
        const float distance = ScoreRegistry::current().distance.session;
        field->restarts().request(c.mode);
        const std::size_t builds = addedSections().size();
        EXPECT_EQ(ZqPInputController::shared()->characterList().size(), 1u) << "nothing changes before the next update";

        field->update(kStep);
        EXPECT_TRUE(ZqPInputController::shared()->characterList().empty()) << "the characters are unregistered";
        EXPECT_EQ(addedSections().size(), builds + 1) << "the start section is added again";
        EXPECT_EQ(field->cameraDistance(), 0.0f);
        EXPECT_EQ(purchasedItemFlag("Extra Life"), c.purchasesReset);
        EXPECT_EQ(ScoreRegistry::current().distance.session, c.scoresReset ? 0.0f : distance);
        // The restart's update steps once more; the extra step once again.
        EXPECT_FLOAT_EQ(speed(), 2.0f + (c.extraStep ? 2.0f : 1.0f)) << "the game speed starts at its minimum";
    }
}

TEST_F(FieldRestartTest, ARestartClearsThePauseAndAHundredLeaveNothingBehind)
{
    field->setRequestedPause(true);
    field->update(kStep);
    ASSERT_TRUE(field->isPaused());
    field->restarts().request(1);
    field->update(kStep);
    EXPECT_FALSE(field->isPaused());

    field->update(kStep);
    const long live = cocos2d::CCObject::liveObjectCount();
    const int saves = GameplayParameters::shared()->saveCounter();
    for (int i = 0; i < 100; ++i) {
        field->restarts().request(14);
        field->update(kStep);
        field->update(kStep);
    }
    EXPECT_EQ(cocos2d::CCObject::liveObjectCount(), live);
    EXPECT_EQ(GameplayParameters::shared()->saveCounter(), saves);
    EXPECT_TRUE(ZqPInputController::shared()->characterList().empty());
}

} // namespace
