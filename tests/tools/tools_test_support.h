#pragma once

// Shared by the tools tests: a fresh model controller per test and quiet shell commands.
#include "model/archive_test_util.h"

#include "attributes/MessagePackMap.h"
#include "model/loading/ZqGameSecrets.h"
#include "model/ZqModelController.h"
#include "model/loading/ZqModelLoader.h"
#include "model/ZqModelGeneralSettings.h"
#include "tools/ZqDataWriter.h"
#include "tools/ZqSampleGame.h"
#include "cocos2d.h"

#include <ZqLog.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace tools_test {

inline int runQuiet(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str());
}

// Every test starts and ends with no models (so fresh general settings) and the working
// directory as the resource root.
class ToolsTest : public ::testing::Test {
protected:
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }

    ZqModelController& controller() { return *ZqModelController::shared(); }

private:
    void clear()
    {
        ZqModelController::shared()->reset();
        cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot("");
    }
};

// A tools test that keeps the log's lines, and reads back what the writer makes of the
// registered models.
class LoggedToolsTest : public ToolsTest {
protected:
    using Files = std::map<std::string, std::vector<unsigned char>>;

    void SetUp() override
    {
        ToolsTest::SetUp();
        zqSetLogSink([this](const char* line) { m_log.emplace_back(line); });
    }
    void TearDown() override
    {
        zqSetLogSink({});
        ToolsTest::TearDown();
    }

    // The files the writer makes of the registered models, by name.
    Files writtenFiles()
    {
        Files files;
        for (ZqDataFile& file : ZqDataWriter(controller(), ZqDataWriter::Options()).buildFiles())
            files[file.name] = std::move(file.bytes);
        return files;
    }

    std::vector<std::string> m_log;
};

// One map as text: its entries in code order, each value as its MessagePack bytes in hex.
inline std::string describeMap(const MessagePackMap& map)
{
    std::map<int32_t, const msgpack::object*> sorted;
    for (const auto& [code, object] : map.entries())
        sorted[code] = &object;
    std::string text;
    for (const auto& [code, object] : sorted) {
        msgpack::sbuffer bytes;
        packObject(bytes, *object);
        text += std::to_string(code) + "=";
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(bytes.data()[i]));
            text += hex;
        }
        text += ";";
    }
    return text;
}

// Every registered model by id: its class, its attributes map (every value) and its
// connections map (children in order, port links), as the current key dictionary codes them.
inline std::map<unsigned, std::string> describeModels(const ZqModelController& controller)
{
    std::map<unsigned, std::string> models;
    for (const auto& entry : controller.modelsByType()) {
        for (const std::shared_ptr<ZqModel>& model : entry.second) {
            msgpack::zone zone;
            MessagePackMap attributes(&zone);
            MessagePackMap connections(&zone);
            model->packAttributes(attributes);
            model->packConnections(connections);
            models[model->id()] =
                std::string(model->className()) + " | " + describeMap(attributes) + " | " + describeMap(connections);
        }
    }
    return models;
}

// What one load did.
struct LoadRun {
    bool archive = false;
    bool failed = false;
    std::string error;
    std::vector<int> progress;  // after each step
};

// Loads the game below root (root/data/...) as the player does: archive mode when
// data/data.pkg is there and not empty, the preload, then the steps until they end.
inline LoadRun loadGame(ZqModelController& controller, const std::string& root)
{
    cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot(root);
    controller.reset();
    controller.addModelClasses(ZqSampleGame::generatedModelClasses());
    LoadRun run;
    ZqModelLoader& loader = *ZqModelLoader::shared();
    run.archive = ZqModelLoader::archiveIsPresent("data/data.pkg");
    loader.setArchiveMode(run.archive);
    const std::string password(kZqArchivePasswordText);
    loader.preload("data/data.pkg", password);
    bool done = loader.loadingFailed();
    while (!done && run.progress.size() < 100000) {
        done = run.archive ? loader.loadNextArchiveFile(password) : loader.loadNextPlainFile();
        run.progress.push_back(loader.loadingProgress());
    }
    loader.closeArchive();
    run.failed = loader.loadingFailed();
    run.error = loader.errorText();
    cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot("");
    return run;
}

}
