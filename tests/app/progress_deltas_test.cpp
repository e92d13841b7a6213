// Saved progress across data versions, grown checkpoints, damaged counts and stores, and
// refill timers under a clock set back.
#include "app_test_support.h"

#include "attributes/ZqAttributeValue.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/scene/ZqModelAssets.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using Checkpoint = ZqPSettingsController::Checkpoint;

class ProgressDeltasTest : public AppTest {
protected:
    static void setVersion(const std::string& version)
    {
        static_cast<ZqAttributeString*>(ZqModelGeneralSettings::shared()->findAttribute("Kw Version"))
            ->setValue(version, true);
    }
    static std::string readFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    int count(const std::string& text) const
    {
        int found = 0;
        for (const std::string& line : lines)
            found += line.find(text) != std::string::npos;
        return found;
    }
};

TEST_F(ProgressDeltasTest, AnotherDataVersionKeepsEveryValueAndTheNextSaveStoresThisOne)
{
    finishLoading();
    setVersion("2.1");
    for (const std::string& stored : {std::string("1"), std::string("2.0")}) {
        SCOPED_TRACE(stored);
        store()->setStringForKey("Kw_Version", stored);
        store()->setBoolForKey("ZqP_removeAds", true);
        store()->setStringForKey("ZqP_Scores", "0: 1 2 3 4 5 6 7 8 9;");
        ASSERT_TRUE(store()->flush());
        lines.clear();
        ZqPSettingsController* settings = relaunch();
        EXPECT_TRUE(settings->adsRemoved());
        EXPECT_EQ(ScoreRegistry::global().coins.total, 9);
        EXPECT_EQ(count("data version"), 1);
        ASSERT_TRUE(settings->save());
        EXPECT_EQ(store()->getStringForKey("Kw_Version"), "2.1");
        lines.clear();
        relaunch();
        EXPECT_EQ(count("data version"), 0);
    }
}

TEST_F(ProgressDeltasTest, CheckpointsKeepEveryFieldAndReadTheEarlierForm)
{
    finishLoading();
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    Checkpoint full{12, 2048.5f, 1136.0f, cocos2d::CCPoint(300.25f, -64.0f), Checkpoint::Snapshot{1999.75f, 340, 17}};
    Checkpoint placed{3, 10.0f, 0.0f, cocos2d::CCPoint(1, 2), std::nullopt};
    settings->setCheckpoint("World;1", full);
    settings->setCheckpoint("Placed", placed);
    ASSERT_TRUE(settings->save());

    store()->setStringForKey("PZq_Checkpoints", store()->getStringForKey("PZq_Checkpoints") + "3:Old 4 512.5;");
    ASSERT_TRUE(store()->flush());
    settings = relaunch();
    const Checkpoint* read = settings->checkpoint("World;1");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->index, 12);
    EXPECT_EQ(read->distance, 2048.5f);
    EXPECT_EQ(read->sectionDistance, 1136.0f);
    EXPECT_EQ(read->position, cocos2d::CCPoint(300.25f, -64.0f));
    ASSERT_TRUE(read->snapshot);
    EXPECT_EQ(read->snapshot->distance, 1999.75f);
    EXPECT_EQ(read->snapshot->points, 340);
    EXPECT_EQ(read->snapshot->coins, 17);
    ASSERT_NE(settings->checkpoint("Placed"), nullptr);
    EXPECT_EQ(settings->checkpoint("Placed")->position, cocos2d::CCPoint(1, 2));
    EXPECT_FALSE(settings->checkpoint("Placed")->snapshot);

    const Checkpoint* old = settings->checkpoint("Old");
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->index, 4);
    EXPECT_EQ(old->distance, 512.5f);
    EXPECT_EQ(old->sectionDistance, 0.0f);
    EXPECT_EQ(old->position, cocos2d::CCPoint(0, 0));
    EXPECT_FALSE(old->snapshot);
    EXPECT_FALSE(logged("damaged"));
}

TEST_F(ProgressDeltasTest, AHugeStoredCountWithOneEntryCostsOneLogLine)
{
    std::shared_ptr<ZqModelAssetPowerup> shield = ZqModelController::shared()->createModel<ZqModelAssetPowerup>();
    finishLoading();
    store()->setStringForKey("ZqP_Inventory_count", "2147483647");
    store()->setStringForKey("ZqP_Inventory_0", std::to_string(shield->id()) + " 4");
    store()->setStringForKey("ZqP_Characters_count", "2147483647");
    store()->setStringForKey("ZqP_Character_0", "false");
    ASSERT_TRUE(store()->flush());
    lines.clear();
    ZqPSettingsController* settings = relaunch();
    EXPECT_EQ(settings->inventoryCount(shield), 4);
    EXPECT_FALSE(settings->isCharacterUnlocked(0));
    EXPECT_EQ(count("\"ZqP_Inventory_count\" holds 1 of 10000 entries"), 1);
    EXPECT_EQ(count("\"ZqP_Characters_count\" holds 1 of 10000 entries"), 1);
    EXPECT_EQ(lines.size(), 2u);
}

TEST_F(ProgressDeltasTest, AnUnreadableStoreIsKeptAsideAndProgressStartsFromDefaults)
{
    finishLoading();
    ZqPSettingsController::shared()->setAdsRemoved(true);
    ASSERT_TRUE(ZqPSettingsController::shared()->save());
    const std::string path = cocos2d::CCUserDefault::getXMLFilePath();
    const std::string damaged = "\x01\x02 this is no store";
    cocos2d::CCUserDefault::purgeSharedUserDefault();
    std::ofstream(path, std::ios::binary) << damaged;

    ZqPSettingsController* settings = relaunch();
    EXPECT_FALSE(settings->adsRemoved());
    EXPECT_EQ(readFile(path + ".damaged-1"), damaged);
    EXPECT_TRUE(logged(path + ".damaged-1"));
    ASSERT_TRUE(settings->save());
    EXPECT_EQ(readFile(path + ".damaged-1"), damaged) << "a save writes a new store beside it";
    std::filesystem::remove(path + ".damaged-1");
}

TEST_F(ProgressDeltasTest, AClockSetBackKeepsTheRefillWithinItsInterval)
{
    std::shared_ptr<ZqModelAssetPowerup> shield = ZqModelController::shared()->createModel<ZqModelAssetPowerup>();
    finishLoading();
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    settings->startRefill(shield->id(), 5, 3);
    setSeconds(kStartSeconds + 100);
    EXPECT_EQ(settings->refillRemainingSeconds(shield->id()), 200);

    setSeconds(kStartSeconds - 86400);
    EXPECT_EQ(settings->refillRemainingSeconds(shield->id()), 300);
    settings->updateRefills(1.0f);
    EXPECT_EQ(settings->inventoryCount(shield), 0);
    // The timer started again from the new now.
    setSeconds(kStartSeconds - 86400 + 299);
    settings->updateRefills(1.0f);
    EXPECT_EQ(settings->inventoryCount(shield), 0);
    EXPECT_EQ(settings->refillRemainingSeconds(shield->id()), 1);
    setSeconds(kStartSeconds - 86400 + 300);
    settings->updateRefills(1.0f);
    EXPECT_EQ(settings->inventoryCount(shield), 1);
}

} // namespace
