// Unlockers: purchase flags of buttons and of the lock buttons leading to the current or
// next destination, and characters unlocked (and saved once per match) by name.
#include "app/app_test_support.h"

#include "app/ZqGameAnswers.h"
#include "model/ZqGameQuestions.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqModelUnlocker.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/ZqScreenWiring.h"

#include <algorithm>

namespace {

class UnlockerTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        zqInstallGameAnswers();
        zqInstallScreenAnswers();
        ZqPScreenNavigator::shared()->setSceneDestination(0);
    }
    void TearDown() override
    {
        ZqPScreenNavigator::shared()->setSceneDestination(0);
        zqInstallProgressQuestions(nullptr);
        zqInstallNavigationQuestions(nullptr);
        AppTest::TearDown();
    }

    std::shared_ptr<ZqModelObjectUnlocker> unlocker(const std::string& type, const std::string& object)
    {
        auto model = ZqModelController::shared()->createModel<ZqModelObjectUnlocker>();
        model->m_unlockType->setValue(type);
        model->m_object->setValue(object);
        return model;
    }

    void lockButton(const std::string& name, const std::string& destination, const std::string& scene)
    {
        auto lock = ZqModelController::shared()->createModel<ZqModelObjectLockButton>();
        lock->setName(name);
        lock->m_destination->setValue(destination);
        lock->m_scene->setValue(scene);
    }

    static bool flag(const std::string& key)
    {
        const ZqPurchaseRegistry::Flags& flags = ZqPurchaseRegistry::flags();
        const auto it = flags.find(key);
        return it == flags.end() || it->second;
    }

    long saves() const
    {
        return std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.find("[ZqPSettingsController] - save") != std::string::npos;
        });
    }
};

TEST_F(UnlockerTest, ButtonUnlockClearsTheNamedFlag)
{
    lockButton("Level 3", "kSceneDestination", "0");
    unlocker("kButtonUnlock", "Double Coins")->applyButtonUnlock();
    EXPECT_FALSE(flag("Double Coins"));
    EXPECT_TRUE(flag("Level 3")); // no lock button looked at

    unlocker("kButtonUnlock", "")->applyButtonUnlock();
    EXPECT_EQ(ZqPurchaseRegistry::flags().count(""), 0u);
    for (const char* type : {"", "kCharacterUnlock", "kButtonUnlockX"}) {
        unlocker(type, "Shield")->applyButtonUnlock();
        EXPECT_TRUE(flag("Shield")) << type;
    }
    const auto model = unlocker("kButtonUnlock", "Magnet");
    EXPECT_EQ(model->contentSize(3.0f), cocos2d::CCSize(60, 60));
    model->applyCharacterUnlock();
    EXPECT_TRUE(flag("Magnet"));
}

TEST_F(UnlockerTest, CurrentAndNextDestinationsClearEveryMatchingLock)
{
    auto scene = ZqModelController::shared()->createModel<ZqModelScreenScene>();
    auto first = ZqModelController::shared()->createModel<ZqModelLevelSection>();
    auto second = ZqModelController::shared()->createModel<ZqModelLevelSection>();
    scene->addChild(first);
    scene->addChild(second);
    const int next = ZqPScreenNavigator::shared()->nextDestination(static_cast<int>(first->id()));
    ASSERT_EQ(next, static_cast<int>(second->id()));
    const std::string current = std::to_string(first->id());

    lockButton("A", "kSceneDestination", current);
    lockButton("B", "kSceneDestination", current);
    lockButton("Padded", "kSceneDestination", "0" + current);
    lockButton("Other kind", "kNextSceneDestination", current);
    lockButton("Next", "kSceneDestination", std::to_string(next));

    ZqPScreenNavigator::shared()->setSceneDestination(static_cast<int>(first->id()));
    unlocker("kButtonUnlock", "kUnlockCurrent")->applyButtonUnlock();
    EXPECT_FALSE(flag("A"));
    EXPECT_FALSE(flag("B"));
    EXPECT_TRUE(flag("Padded")); // compared as text
    EXPECT_TRUE(flag("Other kind"));
    EXPECT_TRUE(flag("Next"));

    unlocker("kButtonUnlock", "kUnlockNext")->applyButtonUnlock();
    EXPECT_FALSE(flag("Next"));
    EXPECT_TRUE(flag("Padded"));
}

TEST_F(UnlockerTest, CharacterUnlockByNameSavesOncePerMatch)
{
    auto addCharacter = [](const std::string& name) {
        auto character = ZqModelController::shared()->createModel<ZqModelAssetCharacter>();
        character->setName(name);
        character->m_purchaseMethod->setValue("kInGameCurrency");
    };
    addCharacter("Runner");
    addCharacter("Knight");
    addCharacter("Wizard");
    addCharacter("Knight");
    finishLoading();
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    ASSERT_FALSE(settings->isCharacterUnlocked(1));

    unlocker("kCharacterUnlock", "Nobody")->applyCharacterUnlock();
    unlocker("kCharacterUnlock", "")->applyCharacterUnlock();
    unlocker("kButtonUnlock", "Knight")->applyCharacterUnlock();
    EXPECT_EQ(saves(), 0);
    EXPECT_FALSE(settings->isCharacterUnlocked(1));

    unlocker("kCharacterUnlock", "Knight")->applyCharacterUnlock();
    EXPECT_EQ(saves(), 2);
    EXPECT_TRUE(settings->isCharacterUnlocked(1));
    EXPECT_TRUE(settings->isCharacterUnlocked(3));
    EXPECT_FALSE(settings->isCharacterUnlocked(2));
    EXPECT_EQ(store()->getBoolForKey("ZqP_Character_3", false), true);
}

} // namespace
