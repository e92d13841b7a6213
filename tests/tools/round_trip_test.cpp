// Games written by the data writer, read back by the player's loader: from the data
// directory, from our archive, and from an archive the standard zip tool made.
#include "tools_test_support.h"

#include "model/loading/ZqGameSecrets.h"
#include "model/ZqAttributeSprite.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "model/scene/ZqModelMedia.h"
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
    ASSERT_EQ(game.classNames.size(), 71u);
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

// A curve with a few points, different for each state.
std::vector<std::unique_ptr<ZqAnimationCurve>> curves(int count, float scale)
{
    std::vector<std::unique_ptr<ZqAnimationCurve>> made;
    for (int i = 0; i < count; ++i) {
        auto curve = std::make_unique<ZqAnimationCurve>();
        curve->addPoint(scale, 0.0f);
        curve->addPoint(-2.0f * scale, 0.5f + 0.1f * static_cast<float>(i));
        curve->addPoint(scale * 3.0f, 1.0f);
        made.push_back(std::move(curve));
    }
    return made;
}

TEST_F(RoundTripTest, CurvesAndTheIconComeBackThroughDirectoryAndArchive)
{
    // Numbers and points carry curves for several states; colours and gradients keep theirs
    // out (they hold none) but must come back with their values.
    auto light = controller().createModel<ZqModelObjectLight>();
    light->m_color->setValue(cocos2d::ccc4f(0.1f, 0.2f, 0.3f, 0.4f), true);
    auto emitter = controller().createModel<ZqModelObjectParticlesEmitter>();
    emitter->m_color->setColorAt(0.25f, cocos2d::ccc4f(1, 0, 0, 1), true);
    for (int state : {0, 2, 7}) {
        light->m_radius->setCurvesForState(curves(1, 1.0f + static_cast<float>(state)), state);
        emitter->m_speed->setCurvesForState(curves(1, 4.0f * static_cast<float>(state)), state);
        emitter->m_gravity->setCurvesForState(curves(2, 0.5f + static_cast<float>(state)), state);
        light->m_color->setCurvesForState(curves(1, 1.0f), state);
        emitter->m_color->setCurvesForState(curves(1, 1.0f), state);
    }
    // The icon's container says in its file that it may go into the atlas.
    auto icon = controller().createModel<ZqModelSpriteContainer>();
    icon->setName("Icon Pictures");
    auto* iconAttribute = static_cast<ZqAttributeSprite*>(ZqModelGeneralSettings::shared()->findAttribute("Icon"));
    ASSERT_NE(iconAttribute, nullptr);
    iconAttribute->setValue(icon, true);
    icon->setExcludedFromAtlas(false);

    TempDir plain, archived;
    ZqDataWriter::Options options;
    ZqDataWriter(controller(), options).write(plain.path().string() + "/data");
    options.plainFiles = false;
    options.archive = true;
    ZqDataWriter(controller(), options).write(archived.path().string() + "/data");
    icon->setExcludedFromAtlas(true); // what the loaded icon makes of its container's flag
    const auto written = describeModels(controller());
    const unsigned lightId = light->id(), emitterId = emitter->id(), iconId = icon->id();

    for (const std::string& root : {plain.path().string(), archived.path().string()}) {
        const LoadRun run = loadGame(controller(), root);
        ASSERT_FALSE(run.failed) << run.error;
        EXPECT_EQ(describeModels(controller()), written) << root; // every point and preset
        auto loadedLight = controller().getModel<ZqModelObjectLight>(lightId);
        auto loadedEmitter = controller().getModel<ZqModelObjectParticlesEmitter>(emitterId);
        ASSERT_TRUE(loadedLight && loadedEmitter);
        for (int state : {0, 2, 7}) {
            const auto radius = loadedLight->m_radius->curvesForState(state);
            ASSERT_EQ(radius.size(), 1u);
            EXPECT_EQ(radius[0]->preset(), ZqAnimationCurve::kDefaultPreset);
            EXPECT_FLOAT_EQ(radius[0]->valueAt(0.0f), 1.0f + static_cast<float>(state));
            EXPECT_FLOAT_EQ(radius[0]->valueAt(1.0f), 3.0f * (1.0f + static_cast<float>(state)));
            const auto gravity = loadedEmitter->m_gravity->curvesForState(state);
            ASSERT_EQ(gravity.size(), 2u);
            EXPECT_EQ(gravity[1]->points().size(), 3u);
            EXPECT_FLOAT_EQ(gravity[1]->valueAt(0.0f), 0.5f + static_cast<float>(state));
            EXPECT_EQ(loadedEmitter->m_speed->curvesForState(state).size(), 1u);
        }
        EXPECT_TRUE(loadedLight->m_radius->curvesForState(1).empty());
        EXPECT_EQ(loadedLight->m_color->value().b, 0.3f);
        EXPECT_EQ(loadedEmitter->m_color->stops().size(), 1u);

        auto* loadedIcon = static_cast<ZqAttributeSprite*>(ZqModelGeneralSettings::shared()->findAttribute("Icon"));
        ASSERT_TRUE(loadedIcon && loadedIcon->value());
        EXPECT_EQ(loadedIcon->value()->id(), iconId);
        EXPECT_TRUE(loadedIcon->value()->isExcludedFromAtlas()); // the icon keeps it out of the atlas
    }
}

} // namespace
