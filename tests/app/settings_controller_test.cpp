#include "app_test_support.h"

#include "model/ZqModelGeneralSettings.h"
#include "model/loading/ZqModelLoader.h"
#include "model/scene/ZqModelAssets.h"
#include "support/strict_xml.h"

#include <pugixml.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

std::shared_ptr<ZqModelAssetCharacter> addCharacter(const std::string& name, const std::string& method)
{
    auto character = ZqModelController::shared()->createModel<ZqModelAssetCharacter>();
    character->setName(name);
    character->m_purchaseMethod->setValue(method);
    return character;
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

class SettingsControllerTest : public AppTest {};

TEST_F(SettingsControllerTest, EveryStoredValueSurvivesASaveAndANewRun)
{
    addCharacter("Runner", "");
    addCharacter("Knight", "kInGameCurrency");
    addCharacter("Wizard", "kRewardedVideos");
    auto shield = ZqModelController::shared()->createModel<ZqModelAssetPowerup>();
    auto magnet = ZqModelController::shared()->createModel<ZqModelAssetPowerup>();
    finishLoading();

    ZqPSettingsController* settings = ZqPSettingsController::shared();
    settings->unlockCharacter(2);
    settings->setSelectedCharacter(2);
    settings->setAdsRemoved(true);
    settings->setFullscreen(true);
    settings->setEffectsSoundMuted(true);
    settings->setBackgroundSoundMuted(true);
    settings->setInventoryCount(shield, 4);
    settings->setInventoryCount(magnet, 1);
    settings->startRefill(magnet->id(), 5, 3);
    // Keys carrying the separators of the stored form.
    settings->setCheckpoint("World 1", {7, 1234.5f, 0.0f, {}, std::nullopt});
    settings->setCheckpoint("odd;key 2:x", {3, -0.125f, 0.0f, {}, std::nullopt});
    ScoreRecord& global = ScoreRegistry::global();
    global.coins.add(250);
    global.coins.add(-100);
    global.points.add(42);
    ScoreRecord& world = ScoreRegistry::recordFor("World 1");
    world.distance.add(987.654f);
    world.distance.best = 1500.25f;
    purchasedItemFlag("Double Coins") = false;
    purchasedItemFlag("Lock; Level 2") = false;
    purchasedItemFlag("Shield Pack");
    settings->incrementScreenPlayed("Game Over");
    settings->incrementScreenPlayed("Game Over");
    ASSERT_TRUE(settings->save());
    EXPECT_TRUE(logged("[ZqPSettingsController] - save"));
    ASSERT_TRUE(std::filesystem::exists(cocos2d::CCUserDefault::getXMLFilePath()));

    setSeconds(kStartSeconds + 100);
    settings = relaunch();
    EXPECT_TRUE(settings->isCharacterUnlocked(0));
    EXPECT_FALSE(settings->isCharacterUnlocked(1));
    EXPECT_TRUE(settings->isCharacterUnlocked(2));
    EXPECT_EQ(settings->selectedCharacter(), 2);
    EXPECT_TRUE(settings->adsRemoved());
    EXPECT_TRUE(settings->isFullscreen());
    EXPECT_TRUE(settings->isEffectsSoundMuted());
    EXPECT_TRUE(settings->isBackgroundSoundMuted());
    EXPECT_EQ(settings->inventoryCount(shield), 4);
    EXPECT_EQ(settings->inventoryCount(magnet), 1);
    EXPECT_TRUE(settings->isRefillRunning(magnet->id()));
    EXPECT_EQ(settings->refillRemainingSeconds(magnet->id()), 300 - 100);
    ASSERT_NE(settings->checkpoint("World 1"), nullptr);
    EXPECT_EQ(settings->checkpoint("World 1")->index, 7);
    EXPECT_EQ(settings->checkpoint("World 1")->distance, 1234.5f);
    ASSERT_NE(settings->checkpoint("odd;key 2:x"), nullptr);
    EXPECT_EQ(settings->checkpoint("odd;key 2:x")->distance, -0.125f);
    EXPECT_EQ(ScoreRegistry::global().coins.session, 150);
    EXPECT_EQ(ScoreRegistry::global().coins.best, 250);
    EXPECT_EQ(ScoreRegistry::global().coins.total, 150);
    EXPECT_EQ(ScoreRegistry::global().points.total, 42);
    EXPECT_EQ(ScoreRegistry::recordFor("World 1").distance.session, 987.654f);
    EXPECT_EQ(ScoreRegistry::recordFor("World 1").distance.best, 1500.25f);
    EXPECT_FALSE(purchasedItemFlag("Double Coins"));
    EXPECT_FALSE(purchasedItemFlag("Lock; Level 2"));
    EXPECT_TRUE(purchasedItemFlag("Shield Pack"));
    EXPECT_EQ(ZqPurchaseRegistry::flags().size(), 3u);
    EXPECT_EQ(settings->screenPlayedCount("Game Over"), 2);
    EXPECT_EQ(store()->getIntegerForKey("ScreenPlayed-Game_Over", 0), 2);
    EXPECT_EQ(store()->getStringForKey("Kw_Version", "absent"), ZqModelGeneralSettings::shared()->version());
    EXPECT_EQ(store()->getIntegerForKey("ZqP_Characters_count", 0), 3);
}

TEST_F(SettingsControllerTest, SaveIsRefusedUntilTheGameDataIsLoaded)
{
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    settings->setAdsRemoved(true);
    EXPECT_FALSE(settings->save());
    EXPECT_TRUE(logged("[ZqPSettingsController] save refused"));
    EXPECT_FALSE(std::filesystem::exists(cocos2d::CCUserDefault::getXMLFilePath()));

    ZqModelLoader::shared()->nextPhase();
    EXPECT_FALSE(settings->save());
    finishLoading();
    EXPECT_TRUE(settings->save());
    EXPECT_TRUE(relaunch()->adsRemoved());
}

TEST_F(SettingsControllerTest, DamagedStoredValuesGiveDefaultsAndKeepTheRest)
{
    addCharacter("Runner", "");
    addCharacter("Knight", "kInGameCurrency");
    auto shield = ZqModelController::shared()->createModel<ZqModelAssetPowerup>();
    finishLoading();
    store()->setStringForKey("ZqP_Scores", "0: 1 2 3 4 5 6 7 8 9;5:World 1.5 2 3 4 5 6 7 8;7:World 2 1 1 1 1 1 1 1 1 1;");
    store()->setStringForKey("ZqP_LockStates", "4:Lock 0;9999999999:x 1;3:Ads 0;");
    store()->setStringForKey("PZq_Checkpoints", "2:W1 3 nan;");
    store()->setStringForKey("ZqP_Inventory_count", "2");
    store()->setStringForKey("ZqP_Inventory_0", "garbage");
    store()->setStringForKey("ZqP_Inventory_1", std::to_string(shield->id()) + " 6");
    store()->setStringForKey("ZqP_RefillPowerup_count", "3");
    store()->setStringForKey("ZqP_RefillPowerup_0", std::to_string(shield->id()) + " 0 0 5");
    store()->setStringForKey("ZqP_RefillPowerup_1", std::to_string(shield->id()) + " -9223372036854775807 60 5");
    store()->setStringForKey("ZqP_Characters_count", "2147483647");
    store()->setStringForKey("ZqP_Character_0", "perhaps");
    store()->setStringForKey("ZqP_Character_1", "true");
    store()->setStringForKey("ZqP_selectedCharacter", "-4");
    store()->setStringForKey("ZqP_removeAds", "yes");
    store()->setStringForKey("ZqP_fullscreen", "true");
    store()->setStringForKey("ScreenPlayed-Menu", "many");
    ASSERT_TRUE(store()->flush());

    ZqPSettingsController* settings = relaunch();
    // The first score entry reads; the second is damaged, so it and the rest are dropped.
    EXPECT_EQ(ScoreRegistry::size(), 1u);
    EXPECT_EQ(ScoreRegistry::global().coins.best, 8);
    EXPECT_FALSE(purchasedItemFlag("Lock"));
    EXPECT_TRUE(purchasedItemFlag("Ads"));
    EXPECT_EQ(settings->checkpoint("W1"), nullptr);
    EXPECT_EQ(settings->inventoryCount(shield), 6);
    EXPECT_FALSE(settings->isRefillRunning(shield->id()));
    EXPECT_TRUE(settings->isCharacterUnlocked(0));
    EXPECT_TRUE(settings->isCharacterUnlocked(1));
    EXPECT_EQ(settings->selectedCharacter(), 0);
    EXPECT_FALSE(settings->adsRemoved());
    EXPECT_TRUE(settings->isFullscreen());
    EXPECT_EQ(settings->screenPlayedCount("Menu"), 0);
    // Each value not of its kind is dropped with one line, the store as read kept aside
    // once for all of them.
    const std::string path = cocos2d::CCUserDefault::getXMLFilePath();
    for (const char* key : {"ZqP_Scores", "ZqP_LockStates", "PZq_Checkpoints", "ZqP_Inventory_0",
                            "ZqP_RefillPowerup_0", "ZqP_RefillPowerup_1", "ZqP_Character_0", "ZqP_removeAds",
                            "ScreenPlayed-Menu"}) {
        const std::string line = std::string("entry \"") + key + "\" dropped";
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [&line](const std::string& logged) { return logged.find(line) != std::string::npos; }),
                  1)
            << key;
    }
    EXPECT_TRUE(logged("entry \"ZqP_Scores\" dropped, damaged after 1 entries, which are kept; the store as read is "
                       "kept as " + path + ".damaged-1"));
    EXPECT_TRUE(logged("\"ZqP_RefillPowerup_count\" holds 2 of 3 entries"));
    EXPECT_FALSE(std::filesystem::exists(path + ".damaged-2"));
    EXPECT_NE(fileText(path + ".damaged-1").find("perhaps"), std::string::npos);
    // What was read of a damaged list is stored again at once.
    EXPECT_EQ(store()->getStringForKey("ZqP_Scores"), "0: 1 2 3 4 5 6 7 8 9;");
    EXPECT_EQ(store()->getStringForKey("ZqP_LockStates"), "4:Lock 0;");
    // The program reads the progress a second time once the game is loaded: a dropped
    // entry of a counted list costs no entry after it.
    settings->load();
    EXPECT_TRUE(settings->isCharacterUnlocked(1));
    EXPECT_EQ(settings->inventoryCount(shield), 6);
    EXPECT_FALSE(purchasedItemFlag("Lock"));

    // Saving again writes a store that reads back cleanly.
    lines.clear();
    ASSERT_TRUE(settings->save());
    settings = relaunch();
    EXPECT_FALSE(logged("dropped"));
    EXPECT_FALSE(std::filesystem::exists(path + ".damaged-2"));
    std::filesystem::remove(path + ".damaged-1");
    EXPECT_EQ(settings->inventoryCount(shield), 6);
    EXPECT_EQ(store()->getIntegerForKey("ZqP_Characters_count", 0), 2);
}

// Every third byte of a store that a save wrote flipped, one flip a run: each run starts
// and saves, and each store written back passes a strict reader. With every bit of the byte
// flipped (which leaves no ASCII byte ASCII), what the store holds after the run differs
// from a clean run only where a line said what was dropped.
TEST_F(SettingsControllerTest, AStoreWithAByteFlippedStartsAndIsWrittenBackWellFormed)
{
    addCharacter("Runner", "");
    addCharacter("Knight", "kInGameCurrency");
    addCharacter("Wizard", "kRewardedVideos");
    auto shield = ZqModelController::shared()->createModel<ZqModelAssetPowerup>();
    finishLoading();
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    settings->unlockCharacter(2);
    settings->setSelectedCharacter(1);
    settings->setAdsRemoved(true);
    settings->setInventoryCount(shield, 3);
    settings->startRefill(shield->id(), 5, 9);
    const std::string world = "W\xC3\xB6rld 1";
    settings->setCheckpoint(world, {4, 812.5f, 512.0f, {96.0f, 64.0f},
                                    ZqPSettingsController::Checkpoint::Snapshot{700.25f, 12, 3}});
    ScoreRegistry::global().points.add(42);
    ScoreRegistry::recordFor(world).distance.add(812.5f);
    purchasedItemFlag("Caf\xC3\xA9 Pack") = false;
    settings->incrementScreenPlayed("Game Over");
    ASSERT_TRUE(settings->save());
    const std::string path = cocos2d::CCUserDefault::getXMLFilePath();
    const std::string stored = fileText(path);

    const auto entries = [](const std::string& bytes) {
        pugi::xml_document doc;
        doc.load_buffer(bytes.data(), bytes.size());
        std::map<std::string, std::string> out;
        for (pugi::xml_node entry : doc.document_element().children("entry"))
            out[entry.attribute("key").value()] = entry.text().get();
        return out;
    };
    // One run on the store as it is: started, saved, ended.
    const auto run = [&](const std::string& bytes) {
        ZqPSettingsController::purgeShared();
        cocos2d::CCUserDefault::purgeSharedUserDefault();
        ScoreRegistry::clear();
        ZqPurchaseRegistry::reset();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        lines.clear();
        const bool saved = ZqPSettingsController::shared()->save();
        for (int n = 1; std::filesystem::remove(path + ".damaged-" + std::to_string(n)); ++n) {
        }
        return saved ? fileText(path) : std::string("not saved");
    };
    const std::map<std::string, std::string> clean = entries(run(stored));
    ASSERT_TRUE(lines.size() == 1 && logged("- save")) << lines.front();
    ASSERT_EQ(clean.size(), 18u);

    int changed = 0;
    // The lowest bit flipped (an ASCII byte stays ASCII: values of another kind) on fewer
    // bytes: each run syncs its store to the disk twice.
    for (const unsigned char mask : {0xFF, 0x01}) {
        for (std::size_t at = mask == 0xFF ? 0 : 1; at < stored.size(); at += mask == 0xFF ? 3 : 9) {
            std::string damaged = stored;
            damaged[at] = static_cast<char>(damaged[at] ^ mask);
            const std::string written = run(damaged);
            const std::string problem = strict_xml::problem(written);
            ASSERT_EQ(problem, "") << "byte " << at << " ^ " << int(mask) << ":\n" << written;
            if (mask == 0xFF && entries(written) != clean) {
                ++changed;
                EXPECT_TRUE(logged("dropped") || logged("is damaged")) << "byte " << at << ":\n" << written;
            }
        }
    }
    EXPECT_GT(changed, int(stored.size() / 6)) << "most flips damage an entry, of " << stored.size() / 3;
}

TEST_F(SettingsControllerTest, CharactersUnlockByIndexInTheControllersList)
{
    addCharacter("Runner", "kInGameCurrency");
    addCharacter("Free", "");
    addCharacter("Knight", "kInAppPurchase");
    addCharacter("Linked", "kWebLink");
    addCharacter("Bartered", "kBarter");
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    // The first character is always playable; one without a known unlock method is free.
    EXPECT_TRUE(settings->isCharacterUnlocked(0));
    EXPECT_TRUE(settings->isCharacterUnlocked(1));
    EXPECT_FALSE(settings->isCharacterUnlocked(2));
    EXPECT_FALSE(settings->isCharacterUnlocked(3));
    EXPECT_TRUE(settings->isCharacterUnlocked(4));
    EXPECT_FALSE(settings->isCharacterUnlocked(5));
    EXPECT_FALSE(settings->isCharacterUnlocked(-1));

    settings->unlockCharacter(3);
    settings->unlockCharacter(-2);
    settings->unlockCharacter(ZqPSettingsController::kMaxStoredEntries);
    EXPECT_TRUE(settings->isCharacterUnlocked(3));
    EXPECT_FALSE(settings->isCharacterUnlocked(2));
    EXPECT_FALSE(settings->isCharacterUnlocked(ZqPSettingsController::kMaxStoredEntries));
}

TEST_F(SettingsControllerTest, ResetRestoresDefaultsAndCanDeleteTheStore)
{
    addCharacter("Runner", "");
    addCharacter("Knight", "kInGameCurrency");
    auto shield = ZqModelController::shared()->createModel<ZqModelAssetPowerup>();
    finishLoading();
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    settings->unlockCharacter(1);
    settings->setSelectedCharacter(1);
    settings->setInventoryCount(shield, 2);
    settings->startRefill(shield->id(), 1, 5);
    settings->setAdsRemoved(true);
    ASSERT_TRUE(settings->save());
    const std::string path = cocos2d::CCUserDefault::getXMLFilePath();

    settings->reset(false);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_FALSE(settings->isCharacterUnlocked(1));
    EXPECT_EQ(settings->selectedCharacter(), 0);
    EXPECT_EQ(settings->inventoryCount(shield), 0);
    EXPECT_FALSE(settings->isRefillRunning(shield->id()));
    // A bought removal of ads is not progress to erase.
    EXPECT_TRUE(settings->adsRemoved());
    EXPECT_TRUE(fileText(path).find("ZqP_selectedCharacter") != std::string::npos);

    settings->reset(true);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(store()->getIntegerForKey("ZqP_selectedCharacter", -1), -1);
}

TEST_F(SettingsControllerTest, RefillTimersAddPowerupsUpToTheirMaximum)
{
    auto shield = ZqModelController::shared()->createModel<ZqModelAssetPowerup>();
    const unsigned id = shield->id();
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    cocos2d::CCScheduler* scheduler = cocos2d::CCDirector::sharedDirector()->getScheduler();

    settings->startRefill(id, 0, 3);
    EXPECT_FALSE(settings->isRefillRunning(id));
    settings->setInventoryCount(shield, 3);
    settings->startRefill(id, 2, 3);
    EXPECT_FALSE(settings->isRefillRunning(id));
    EXPECT_EQ(settings->refillRemainingSeconds(id), 0);

    settings->setInventoryCount(shield, 0);
    settings->startRefill(id, 2, 3);
    EXPECT_EQ(settings->refillRemainingSeconds(id), 120);
    settings->startRefill(id, 9, 3); // one runs already
    setSeconds(kStartSeconds + 119);
    scheduler->update(1.0f);
    EXPECT_EQ(settings->inventoryCount(shield), 0);
    EXPECT_EQ(settings->refillRemainingSeconds(id), 1);

    setSeconds(kStartSeconds + 130);
    scheduler->update(1.0f);
    EXPECT_EQ(settings->inventoryCount(shield), 1);
    EXPECT_EQ(settings->refillRemainingSeconds(id), 110);

    // A long absence refills what fell due, and the timer ends at the maximum.
    setSeconds(kStartSeconds + 3600);
    scheduler->update(1.0f);
    EXPECT_EQ(settings->inventoryCount(shield), 3);
    EXPECT_FALSE(settings->isRefillRunning(id));
}

TEST_F(SettingsControllerTest, AFreshControllerAfterAPurgeUnschedulesTheOld)
{
    ZqPSettingsController::shared();
    cocos2d::CCScheduler* scheduler = cocos2d::CCDirector::sharedDirector()->getScheduler();
    ZqPSettingsController::purgeShared();
    // A purged controller's timer must not fire on freed memory.
    scheduler->update(1.0f);
    ZqPSettingsController* fresh = ZqPSettingsController::shared();
    EXPECT_TRUE(scheduler->isScheduled(schedule_selector(ZqPSettingsController::updateRefills), fresh));
}
