#pragma once

// Shared by the tools tests: a fresh model controller per test and quiet shell commands.
#include "model/archive_test_util.h"

#include "attributes/MessagePackMap.h"
#include "model/loading/ZqArchiveReader.h"
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
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
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

// The names of the files in root's "data" directory, or of the members of its archive
// "data/data.pkg" in archive order.
inline std::vector<std::string> dataFileNames(const std::string& root, bool archive)
{
    std::vector<std::string> names;
    if (archive) {
        ZqArchiveReader reader(root + "/data/data.pkg");
        for (std::string name = reader.firstFile(); !name.empty(); name = reader.nextFile())
            names.push_back(name);
        return names;
    }
    for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(root + "/data"))
        names.push_back(entry.path().filename().string());
    return names;
}

// The steps a load takes, counted from the names of the game's files (from the archive,
// its members) and the registered classes. From the directory each phase reads every
// class's files from number 0 on, with one more step where its numbering stops; from the
// archive each phase spends one step on the general settings' file of its kind, there or
// not, and one on every other member of its kind.
inline int expectedSteps(const std::vector<std::string>& files, const std::vector<std::string>& classes, bool archive)
{
    const std::set<std::string> names(files.begin(), files.end());
    std::set<std::string> walked(classes.begin(), classes.end());
    walked.insert("ZqModelGeneralSettings");
    int steps = 0;
    for (const std::string kind : {"attributes", "connections"}) {
        const std::string suffix = "." + kind + ".pack";
        if (archive) {
            ++steps;
            for (const std::string& name : names)
                steps += name.find("." + kind + ".") != std::string::npos &&
                         name != "ZqModelGeneralSettings.0" + suffix;
            continue;
        }
        for (const std::string& name : walked) {
            int number = 0;
            while (names.count(name + "." + std::to_string(number) + suffix) != 0)
                ++number;
            steps += number + 1;
        }
    }
    return steps;
}

// The frame at which the player first shows the menu of the game below root, at the fixed
// step: its loading screen draws 9 frames, then takes one loading step a frame, and the
// menu shows on the frame after the last step.
inline unsigned menuFrame(const std::string& root, bool archive)
{
    std::vector<std::string> classes;
    for (const ZqModelClass& row : zqModelClassTable())
        classes.push_back(row.className);
    return 10 + static_cast<unsigned>(expectedSteps(dataFileNames(root, archive), classes, archive));
}

// An input script whose frames count from the menu's first frame, moved to a run whose menu
// first shows at frame menu; comments and blank lines stay as they are.
inline std::string fromMenu(unsigned menu, const std::string& script)
{
    std::istringstream lines(script);
    std::string moved;
    for (std::string line; std::getline(lines, line);) {
        std::size_t digits = 0;
        while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9')
            ++digits;
        if (digits != 0)
            line = std::to_string(menu + std::stoul(line.substr(0, digits))) + line.substr(digits);
        moved += line + "\n";
    }
    return moved;
}

}
