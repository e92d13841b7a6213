#pragma once

// A fresh saved-progress world for each test: the store file in a temporary data home,
// empty registries, a model controller that has not loaded, a fixed clock and captured
// log lines.
#include "app/ScoreRegistry.h"
#include "app/ZqAppLayerReset.h"
#include "app/ZqPSettingsController.h"
#include "app/ZqPurchaseRegistry.h"
#include "model/ZqModelController.h"
#include "model/loading/ZqModelLoader.h"

#include "cocos2d.h"

#include <ZqClock.h>
#include <ZqLog.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

class AppTest : public ::testing::Test {
protected:
    static constexpr int64_t kTicksPerSecond = 10000000;
    static constexpr int64_t kStartSeconds = 1700000000;

    static void SetUpTestSuite()
    {
        char pattern[] = "/tmp/zq-app-test-XXXXXX";
        home = mkdtemp(pattern);
        setenv("ZQ_DATA_HOME", home.c_str(), 1);
    }

    static void TearDownTestSuite()
    {
        cocos2d::CCUserDefault::purgeSharedUserDefault();
        unsetenv("ZQ_DATA_HOME");
        std::filesystem::remove_all(home);
    }

    void SetUp() override
    {
        setSeconds(kStartSeconds);
        zqResetAppLayer();
        cocos2d::CCUserDefault::sharedUserDefault()->deleteStore();
        cocos2d::CCUserDefault::purgeSharedUserDefault();
        zqSetLogSink([this](const char* line) { lines.emplace_back(line); });
    }

    void TearDown() override
    {
        zqSetLogSink({});
        zqResetAppLayer();
        zqSetClockTicks(std::nullopt);
        // The settings controller made a director for its timer: later suites start
        // from no engine object.
        cocos2d::CCDirector::sharedDirector()->purgeDirector();
    }

    static void setSeconds(int64_t seconds) { zqSetClockTicks(seconds * kTicksPerSecond); }

    // The model controller as after the last loading step.
    static void finishLoading()
    {
        while (ZqModelLoader::shared()->nextPhase() < ZqModelLoader::kLoadingDone) { }
    }

    // What a new run of the program finds: nothing in memory, the store read from its file.
    static ZqPSettingsController* relaunch()
    {
        ZqPSettingsController::purgeShared();
        cocos2d::CCUserDefault::purgeSharedUserDefault();
        ScoreRegistry::clear();
        ZqPurchaseRegistry::reset();
        return ZqPSettingsController::shared();
    }

    static cocos2d::CCUserDefault* store() { return cocos2d::CCUserDefault::sharedUserDefault(); }

    bool logged(const std::string& text) const
    {
        for (const std::string& line : lines) {
            if (line.find(text) != std::string::npos)
                return true;
        }
        return false;
    }

    static inline std::string home;
    std::vector<std::string> lines;
};
