// Games written by the data writer, read back by the player's loader: from the data
// directory, from our archive, and from an archive the standard zip tool made.
#include "tools_test_support.h"

#include "model/ZqGameSecrets.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/scene/ZqModelLabel.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqNode.h"
#include "tools/ZqDataWriter.h"
#include "tools/ZqSampleGame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace archive_test;
using namespace tools_test;

namespace {

// A generated game spread over several numbered files per class and kind.
ZqSampleGame::Generated mediumGame()
{
    ZqSampleGame::Generated game;
    game.modelCount = 300;
    game.fanout = 3;
    game.treeSize = 40;
    game.applicationName = "Round Trip";
    return game;
}

class RoundTripTest : public ToolsTest {
protected:
    // Builds the game, writes it into root/data with options and returns the models as
    // they were before writing.
    std::map<unsigned, std::string> writeGame(const std::string& root, ZqDataWriter::Options options)
    {
        ZqSampleGame::buildGenerated(controller(), mediumGame());
        ZqDataWriter(controller(), std::move(options)).write(root + "/data");
        return describeModels(controller());
    }

    void expectLoaded(const LoadRun& run, const std::map<unsigned, std::string>& written)
    {
        ASSERT_FALSE(run.failed) << run.error;
        ASSERT_FALSE(run.progress.empty());
        EXPECT_TRUE(std::is_sorted(run.progress.begin(), run.progress.end()));
        EXPECT_EQ(run.progress.back(), 100);
        EXPECT_EQ(describeModels(controller()), written);
        EXPECT_EQ(ZqModelGeneralSettings::shared()->applicationName(), "Round Trip");
        EXPECT_EQ(ZqModelGeneralSettings::shared()->userId(), ZqSampleGame::kUserId);
        // Not a trivial match: the links and children came back as objects.
        std::shared_ptr<ZqModel> parent = controller().modelById(2);
        ASSERT_TRUE(parent);
        ASSERT_EQ(parent->children().size(), 3u);
        EXPECT_EQ(parent->children()[0]->id(), 3u);
        ZqBaseAttribute* input = controller().modelById(12)->findAttribute("Input");
        ASSERT_TRUE(input && input->connectedSource());
        EXPECT_EQ(input->connectedSource()->owner(), controller().modelById(7).get());
    }
};

TEST_F(RoundTripTest, DirectoryAndArchiveGiveTheWrittenModels)
{
    TempDir plain;
    TempDir archived;
    ZqDataWriter::Options options;
    options.modelsPerFile = 64;
    const auto written = writeGame(plain.path().string(), options);
    EXPECT_EQ(written.size(), 301u);
    // The loader's several-files path is taken: attributes files 0 to 4 of the class.
    EXPECT_TRUE(std::filesystem::exists(plain.file("data/ZqGeneratedModel.4.attributes.pack")));
    EXPECT_FALSE(std::filesystem::exists(plain.file("data/ZqGeneratedModel.5.attributes.pack")));
    EXPECT_TRUE(std::filesystem::exists(plain.file("data/ZqGeneratedModel.1.connections.pack")));

    options.plainFiles = false;
    options.archive = true;
    EXPECT_EQ(writeGame(archived.path().string(), options), written);
    EXPECT_FALSE(std::filesystem::exists(archived.file("data/Keys.pack")));

    const LoadRun fromDirectory = loadGame(controller(), plain.path().string());
    EXPECT_FALSE(fromDirectory.archive);
    expectLoaded(fromDirectory, written);

    const LoadRun fromArchive = loadGame(controller(), archived.path().string());
    EXPECT_TRUE(fromArchive.archive);
    expectLoaded(fromArchive, written);
}

TEST_F(RoundTripTest, ZipToolArchiveOfOurDirectoryLoads)
{
    if (!toolAvailable("zip"))
        GTEST_SKIP() << "zip is not installed";
    const std::string password = decodeArchivePassword(kZqArchivePasswordText);
    ASSERT_EQ(password.find('\''), std::string::npos);
    for (const char* method : {"", " -0"}) {
        TempDir dir;
        ZqDataWriter::Options options;
        options.maxFileBytes = 4096;  // several files split by size
        const auto written = writeGame(dir.path().string(), options);
        EXPECT_TRUE(std::filesystem::exists(dir.file("data/ZqGeneratedModel.1.attributes.pack")));
        ASSERT_EQ(runQuiet("cd '" + dir.file("data") + "' && zip -q" + method + " -P '" + password +
                           "' ../data.pkg *.pack"),
                  0);
        // Only the archive is left, so nothing can come from the plain files.
        std::filesystem::remove_all(dir.file("data"));
        std::filesystem::create_directories(dir.file("data"));
        std::filesystem::rename(dir.file("data.pkg"), dir.file("data/data.pkg"));

        const LoadRun run = loadGame(controller(), dir.path().string());
        EXPECT_TRUE(run.archive);
        expectLoaded(run, written);
    }
}

// Every class of the game data that exists, through the writer and back: each class's
// own packing must read back what it wrote, children and links included.
TEST_F(ToolsTest, EveryRegistryClassComesBack)
{
    ZqSampleGame::Generated game;
    for (const std::string& className : controller().registry().classNames()) {
        if (className != ZqModelGeneralSettings::staticClassName() && className != ZqGeneratedModel::staticClassName())
            game.classNames.push_back(className);
    }
    if (game.classNames.empty())
        GTEST_SKIP() << "no model class besides the general settings yet";
    game.modelCount = game.classNames.size() * 3;
    game.fanout = 2;
    game.treeSize = 7;
    for (bool archive : {false, true}) {
        TempDir dir;
        ZqSampleGame::buildGenerated(controller(), game);
        ZqDataWriter::Options options;
        options.plainFiles = !archive;
        options.archive = archive;
        ZqDataWriter(controller(), options).write(dir.file("data"));
        const auto written = describeModels(controller());
        ASSERT_EQ(written.size(), game.modelCount + 1);

        const LoadRun run = loadGame(controller(), dir.path().string());
        ASSERT_FALSE(run.failed) << run.error;
        const auto loaded = describeModels(controller());
        for (const auto& [id, description] : written)
            EXPECT_EQ(loaded.count(id) ? loaded.at(id) : "(missing)", description) << "model " << id;
    }
}

TEST_F(ToolsTest, SampleGameLoadsWithItsName)
{
    for (bool archive : {false, true}) {
        TempDir dir;
        ZqDataWriter::Options options;
        options.plainFiles = !archive;
        options.archive = archive;
        ZqSampleGame::write(controller(), dir.file("data"), options);

        const LoadRun run = loadGame(controller(), dir.path().string());
        ASSERT_FALSE(run.failed) << run.error;
        EXPECT_EQ(run.archive, archive);
        EXPECT_EQ(ZqModelGeneralSettings::shared()->applicationName(), ZqSampleGame::kApplicationName);
        EXPECT_EQ(ZqModelGeneralSettings::shared()->orientation(), 1);
        EXPECT_TRUE(controller().modelById(ZqModelGeneralSettings::shared()->lastId()));
        EXPECT_EQ(controller().modelById(1), ZqModelGeneralSettings::shared());
        // The start screen hangs under the start node and holds its text and loading bar.
        std::shared_ptr<ZqModelScreen> screen = controller().getModel<ZqModelScreen>(3);
        ASSERT_TRUE(screen);
        EXPECT_EQ(screen->key(), "ZqPScreenStart");
        EXPECT_TRUE(controller().getModel<ZqNodeUIStart>(2) && controller().modelById(2)->hasChild(screen.get()));
        ASSERT_EQ(screen->children().size(), 2u);
        std::shared_ptr<ZqModelObjectLabel> label = modelCast<ZqModelObjectLabel>(screen->children()[0]);
        ASSERT_TRUE(label);
        EXPECT_EQ(label->text(), "Loading...");
        EXPECT_TRUE(modelCast<ZqModelObjectLoadingBar>(screen->children()[1]));
    }
}

} // namespace
