// Loading a generated game: the data directory and the archive give the same models,
// steps and progress, the preload and the full load after it, numbering gaps, the id
// counter, replacement of models by later maps, and the key file.
#include "loading_support.h"
#include "model/loading/ZqModelLoader.h"
#include <gmock/gmock.h>

#include <algorithm>

namespace loading_test {
namespace {

using archive_test::TempDir;

TEST_F(LoadingTest, DirectoryAndArchiveGiveTheSameGame)
{
    TempDir plain, packed;
    writeDirectory(plain, game);
    archive_test::writeBytes(packed.file("data/data.pkg"), makeArchive(game, decodeArchivePassword(passwordText())));

    useRoot(plain);
    ASSERT_FALSE(loader().isArchiveMode());
    loader().preload("data/data.pkg", passwordText());
    EXPECT_EQ(loader().loadingProgress(), 0);
    // Every step reads a file: neither a class without a next file nor a phase's end costs
    // a step of its own.
    EXPECT_EQ(runSteps(), 7 + 4);
    EXPECT_EQ(loader().loadingProgress(), 100);
    EXPECT_FALSE(loader().loadingFailed()) << loader().errorText();
    const auto fromDirectory = snapshot();

    useRoot(packed);
    ASSERT_TRUE(loader().isArchiveMode());
    loader().preload("data/data.pkg", passwordText());
    EXPECT_EQ(loader().loadingProgress(), 0);
    // 7 attributes members, 4 connections members: the absent settings connections cost
    // no step.
    EXPECT_EQ(runSteps(), 7 + 4);
    EXPECT_EQ(loader().loadingProgress(), 100);
    EXPECT_FALSE(loader().loadingFailed()) << loader().errorText();
    const auto fromArchive = snapshot();

    EXPECT_EQ(fromDirectory, fromArchive);
    ASSERT_EQ(fromArchive.size(), 8u);
    EXPECT_THAT(fromArchive.at(200), testing::HasSubstr("[Key=\"screen 0\"]"));
    EXPECT_THAT(fromArchive.at(200), testing::EndsWith("children: 100 101"));
    EXPECT_THAT(fromArchive.at(102), testing::HasSubstr("[Tracking=12]"));
    EXPECT_THAT(fromArchive.at(102), testing::HasSubstr("[Text=\"label 2\"]"));
    EXPECT_THAT(fromArchive.at(300), testing::HasSubstr("[UI <- 301:Load]"));
    for (const std::string& line : log)
        EXPECT_EQ(line.find(decodeArchivePassword(passwordText())), std::string::npos) << line;
}

// Each step reads exactly one file, from the directory and from the archive, the general
// settings first in each phase where there are any: the loading screen spends a frame a
// file, and none on a file that is not there or on a phase's end.
TEST_F(LoadingTest, EachStepReadsOneFile)
{
    TempDir plain, packed;
    writeDirectory(plain, game);
    archive_test::writeBytes(packed.file("data/data.pkg"), makeArchive(game, decodeArchivePassword(passwordText())));
    for (TempDir* root : {&plain, &packed}) {
        useRoot(*root);
        SCOPED_TRACE(loader().isArchiveMode() ? "archive" : "directory");
        loader().preload("data/data.pkg", passwordText());
        std::vector<std::vector<std::string>> steps;
        for (bool done = false; !done && steps.size() < 100;) {
            log.clear();
            done = loader().isArchiveMode() ? loader().loadNextArchiveFile(passwordText())
                                            : loader().loadNextPlainFile();
            steps.emplace_back();
            // The files read: a look for a member the archive lacks logs its name too.
            for (const std::string& line : log) {
                if (line.find("for class from ") == std::string::npos)
                    continue;
                const std::string name = line.substr(line.find_last_of("/ ") + 1);
                if (std::any_of(game.begin(), game.end(), [&](const auto& file) { return file.first == name; }))
                    steps.back().push_back(name);
            }
        }
        ASSERT_EQ(steps.size(), 11u);
        for (std::size_t i = 0; i < steps.size(); ++i)
            EXPECT_EQ(steps[i].size(), 1u) << "step " << i;
        EXPECT_THAT(steps[0], testing::ElementsAre("ZqModelGeneralSettings.0.attributes.pack"));
        EXPECT_THAT(steps[6], testing::ElementsAre(testing::EndsWith(".attributes.pack")));
        EXPECT_THAT(steps[7], testing::ElementsAre(testing::EndsWith(".connections.pack")));
        EXPECT_EQ(loader().loadingState().filesRead, 11);
        EXPECT_EQ(loader().loadingProgress(), 100);
        EXPECT_FALSE(loader().loadingFailed()) << loader().errorText();
        EXPECT_EQ(snapshot().size(), 8u);
    }

    // A game without connections files ends its load on its last attributes file.
    GameFiles unlinked;
    for (const auto& file : game) {
        if (file.first.find(".connections.") == std::string::npos)
            unlinked.push_back(file);
    }
    TempDir plainUnlinked, packedUnlinked;
    writeDirectory(plainUnlinked, unlinked);
    archive_test::writeBytes(packedUnlinked.file("data/data.pkg"),
                             makeArchive(unlinked, decodeArchivePassword(passwordText())));
    for (TempDir* root : {&plainUnlinked, &packedUnlinked}) {
        useRoot(*root);
        loader().preload("data/data.pkg", passwordText());
        EXPECT_EQ(runSteps(), 7);
        EXPECT_EQ(loader().loadingProgress(), 100);
    }
}

TEST_F(LoadingTest, GeneralSettingsAndIdsAfterLoading)
{
    TempDir root;
    writeDirectory(root, game);
    useRoot(root);
    loader().preload("data/data.pkg", passwordText());
    ASSERT_GT(runSteps(), 0);

    auto settings = ZqModelGeneralSettings::shared();
    EXPECT_EQ(controller().modelById(1), settings);
    EXPECT_EQ(settings->applicationName(), "Demo Game");
    EXPECT_EQ(settings->userId(), kUserId);
    auto* ios = dynamic_cast<cocos2d::CCDictionary*>(settings->platformSpecificValues()->objectForKey("ios"));
    ASSERT_NE(ios, nullptr);
    EXPECT_STREQ(ios->valueForKey("adUnit")->getCString(), "unit-1");
    EXPECT_EQ(controller().modelsOfType(ZqModelGeneralSettings::staticTypeId()).size(), 1u);
    // "Last ID" says 5, but ids up to 201 are taken.
    EXPECT_EQ(settings->lastId(), 5u);
    EXPECT_GT(ZqModelScreen::create()->id(), 201u);
}

TEST_F(LoadingTest, StepsAfterTheEndOrAfterCloseReadNothing)
{
    TempDir root;
    archive_test::writeBytes(root.file("data/data.pkg"), makeArchive(game, decodeArchivePassword(passwordText())));
    useRoot(root);
    loader().preload("data/data.pkg", passwordText());
    ASSERT_GT(runSteps(), 0);
    const auto loaded = snapshot();
    loader().closeArchive();
    log.clear();
    EXPECT_TRUE(loader().loadNextArchiveFile(passwordText()));
    EXPECT_TRUE(loader().loadNextPlainFile());
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(snapshot(), loaded);

    // A restart resets the controller, and the closed archive is opened again.
    controller().reset();
    EXPECT_EQ(runSteps(), 11);
    EXPECT_FALSE(loader().loadingFailed()) << loader().errorText();
    EXPECT_EQ(snapshot(), loaded);
}

TEST_F(LoadingTest, FullLoadAfterPreloadKeepsChildrenReadBeforeTheirScreen)
{
    TempDir plain, packed;
    writeDirectory(plain, game);
    archive_test::writeBytes(packed.file("data/data.pkg"), makeArchive(game, decodeArchivePassword(passwordText())));
    for (const TempDir* root : {&plain, &packed}) {
        useRoot(*root);
        loader().preload("data/data.pkg", passwordText());
        ASSERT_FALSE(loader().loadingFailed()) << loader().errorText();
        auto screen = controller().modelById(200);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->children().size(), 2u);
        EXPECT_EQ(controller().modelById(201), nullptr); // file 1 waits for the steps
        EXPECT_EQ(ZqModelGeneralSettings::shared()->applicationName(), "Demo Game");
        EXPECT_NO_THROW(keyCode("Tracking")); // the whole key file is installed

        ASSERT_GT(runSteps(), 0);
        for (unsigned screenId : {200u, 201u}) {
            auto loaded = controller().modelById(screenId);
            ASSERT_NE(loaded, nullptr);
            ASSERT_FALSE(loaded->children().empty());
            for (const auto& child : loaded->children())
                EXPECT_EQ(controller().modelById(child->id()), child) << "label " << child->id() << " lost";
        }
        EXPECT_EQ(controller().modelById(200)->children().size(), 2u);
        EXPECT_EQ(controller().modelsOfType(ZqModelObjectLabel::staticTypeId()).size(), 3u);
    }
}

TEST_F(LoadingTest, NumberingGapsEndAClassInTheDirectoryButNotInTheArchive)
{
    GameFiles gapped = game;
    for (auto& [name, bytes] : gapped) {
        if (name == "ZqModelObjectLabel.1.attributes.pack")
            name = "ZqModelObjectLabel.2.attributes.pack";
        if (name == "ZqModelScreen.1.attributes.pack")
            name = "ZqModelScreen.1.attributes.old"; // still an attributes member
    }
    TempDir plain, packed;
    writeDirectory(plain, gapped);
    archive_test::writeBytes(packed.file("data/data.pkg"), makeArchive(gapped, decodeArchivePassword(passwordText())));

    useRoot(plain);
    loader().preload("data/data.pkg", passwordText());
    runSteps();
    EXPECT_EQ(controller().modelById(102), nullptr);
    EXPECT_EQ(controller().modelById(201), nullptr);

    useRoot(packed);
    loader().preload("data/data.pkg", passwordText());
    runSteps();
    EXPECT_NE(controller().modelById(102), nullptr);
    ASSERT_NE(controller().modelById(201), nullptr);
    EXPECT_EQ(controller().modelById(201)->children().size(), 1u);
}

TEST_F(LoadingTest, EmptyArchiveMeansTheDataDirectory)
{
    TempDir root;
    writeDirectory(root, game);
    archive_test::writeBytes(root.file("data/data.pkg"), {});
    useRoot(root);
    EXPECT_FALSE(loader().isArchiveMode());
    loader().preload("data/data.pkg", passwordText());
    runSteps();
    EXPECT_EQ(snapshot().size(), 8u);
}

// Maps of one file against a registered label 100 and screen 200.
TEST_F(LoadingTest, LaterMapsReplaceOnlyOnceTheyAreReadCompletely)
{
    auto label = ZqModelObjectLabel::create();
    label->setId(100);
    label->m_text->setValue("first");
    keyNameSet().clear();
    label->collectKeys();
    installKeyDictionary(keyTable(keyText(keyNameSet())));
    const Bytes labels = modelFileOf({label}, ZqModelLoader::kAttributesFile);
    ASSERT_TRUE(loader().parseModelFile(labels.data(), labels.size(), ZqModelLoader::kAttributesFile));
    auto first = controller().modelById(100);
    ASSERT_NE(first, nullptr);

    msgpack::sbuffer buffer;
    msgpack::packer<msgpack::sbuffer> packer(buffer);
    // An unknown class with the same id: skipped, the label stays.
    packer.pack_map(2).pack(keyCode("id")).pack(100).pack(keyCode("Class Name")).pack("NoSuchClass");
    // A map without an id: skipped.
    packer.pack_map(1).pack(keyCode("Class Name")).pack("ZqModelObjectLabel");
    // A label whose "Tracking" is not a number: the error stops the file.
    packer.pack_map(3).pack(keyCode("id")).pack(100).pack(keyCode("Class Name")).pack("ZqModelObjectLabel");
    packer.pack(keyCode("Tracking")).pack_map(1).pack(keyCode("value")).pack("fast");
    EXPECT_FALSE(loader().parseModelFile(reinterpret_cast<const unsigned char*>(buffer.data()), buffer.size(),
                                         ZqModelLoader::kAttributesFile));
    EXPECT_TRUE(loader().loadingFailed());
    EXPECT_EQ(controller().modelById(100), first);
    EXPECT_EQ(controller().modelsOfType(ZqModelObjectLabel::staticTypeId()).size(), 1u);
}

TEST_F(LoadingTest, KeyFileNumbersNonEmptyLinesAndNeedsTheFixedNames)
{
    const std::string text = "alpha\n\nbeta\nalpha\ngamma";
    const std::string scrambled = scrambleKeyFile(text, kUserId);
    const KeyCodeTable table = ZqModelLoader::readKeyFile(reinterpret_cast<const unsigned char*>(scrambled.data()),
                                                          scrambled.size(), kUserId);
    EXPECT_EQ(table, (KeyCodeTable{{"alpha", 0}, {"beta", 1}, {"gamma", 3}}));

    // Unscrambled with the settings' "User ID": names without "id" are refused.
    static_cast<ZqAttributeString*>(ZqModelGeneralSettings::shared()->findAttribute("User ID"))->setValue(kUserId);
    EXPECT_FALSE(loader().loadKeyFile(reinterpret_cast<const unsigned char*>(scrambled.data()), scrambled.size()));
    EXPECT_TRUE(loader().loadingFailed());
    EXPECT_EQ(loader().errorText().rfind("Failed to load keys", 0), 0u);
    EXPECT_TRUE(logged("Failed to load keys"));
}

} // namespace
} // namespace loading_test
