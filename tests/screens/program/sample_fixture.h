#pragma once

// The bundled sample written into a directory of the test's and played in process by the
// program's own start-up: the fixture of the tests that play the sample's screens.
#include "screens/program/headless_player.h"

#include "model/archive_test_util.h"
#include "objects/assets/ZqPObjectAssetCharacter.h"
#include "screens/field/ZqPScreenScene.h"
#include "screens/ZqPScreenUi.h"
#include "tools/ZqSampleGame.h"

#include <ZqLog.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class SampleFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        zqSetLogSink([](const char*) {});
        ZqSampleGame::write(*ZqModelController::shared(), game.file("data"), ZqDataWriter::Options());
        ZqModelController::shared()->reset();
    }
    // The player's stop leaves a fresh game: sounds, caches and models go.
    void TearDown() override
    {
        player.stop();
        zqSetLogSink({});
    }

    // The sample started on its store, a few frames into its menu, in a window of the
    // design size, so that points are pixels (y up).
    void startOnTheMenu()
    {
        HeadlessPlayer::Options options;
        options.gameDirectory = game.path().string();
        options.storeDirectory = store.path().string();
        std::string error;
        ASSERT_TRUE(player.startOn(options, "Menu", &error)) << error;
    }
    // The saved progress the player finds: entries, each an "<entry key=...>" line.
    void writeStore(const std::string& entries)
    {
        const std::filesystem::path saved = store.path() / ZqSampleGame::kApplicationName;
        std::filesystem::create_directories(saved);
        std::ofstream(saved / "UserDefault.xml")
            << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<userDefaultRoot>\n" << entries << "</userDefaultRoot>\n";
    }
    static std::string key() { return ZqPScreenNavigator::shared()->currentKey(); }
    static ZqPScreenScene* field() { return ZqPScreenNavigator::shared()->currentGameScene(); }
    static ZqPScreenUi* shown() { return ZqPScreenNavigator::shared()->currentUiScreen(); }
    // The field's first character; null when there is none.
    static ZqPObjectAssetCharacter* hero()
    {
        for (cocos2d::CCObject* child : *field()->camera()->getChildren()) {
            if (auto* character = dynamic_cast<ZqPObjectAssetCharacter*>(child))
                return character;
        }
        return nullptr;
    }

    archive_test::TempDir game;
    archive_test::TempDir store;
    HeadlessPlayer player;
};

// The fixture of the tests that play the sample's field: the log's lines kept, the sample
// written by the test itself (as it comes, or changed) and played from its menu.
class SampleFieldFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        zqSetLogSink([this](const char* line) { lines.emplace_back(line); });
    }
    void TearDown() override
    {
        player.stop();
        HeadlessPlayer::purgeMedia();
        zqSetLogSink({});
    }

    // The sample written into game's "data" started on its store, and Return pressed on its
    // menu: the field starts.
    void pressPlayOnTheMenu()
    {
        ZqModelController::shared()->reset();
        HeadlessPlayer::Options options;
        options.gameDirectory = game.path().string();
        options.storeDirectory = store.path().string();
        std::string error;
        ASSERT_TRUE(player.startOn(options, "Menu", &error)) << error;
        player.keyDown(ZqEditorKey::kReturn);
        player.step();
        player.keyUp(ZqEditorKey::kReturn);
    }

    archive_test::TempDir game;
    archive_test::TempDir store;
    HeadlessPlayer player;
    std::vector<std::string> lines;
};
