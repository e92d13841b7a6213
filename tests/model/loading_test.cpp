// Loading a generated game: the data directory and the archive give the same models,
// steps and progress, the preload and the full load after it, numbering gaps, the id
// counter, replacement of models by later maps, and the key file.
#include "loading_support.h"
#include "model/loading/ZqModelLoader.h"
#include "tools/tools_test_support.h"
#include <gmock/gmock.h>

#include <algorithm>

namespace loading_test {
namespace {

using archive_test::TempDir;

std::vector<std::string> namesOf(const GameFiles& files)
{
    std::vector<std::string> names;
    for (const auto& file : files)
        names.push_back(file.first);
    return names;
}

// The steps a load of files takes from the directory or the archive.
int stepsFor(const GameFiles& files, bool archive)
{
    return tools_test::expectedSteps(namesOf(files), ZqModelController::shared()->registry().classNames(), archive);
}

TEST_F(LoadingTest, DirectoryAndArchiveGiveTheSameGame)
{
    TempDir plain, packed;
    writeDirectory(plain, game);
    archive_test::writeBytes(packed.file("data/data.pkg"), makeArchive(game, decodeArchivePassword(passwordText())));

    useRoot(plain);
    ASSERT_FALSE(loader().isArchiveMode());
    loader().preload("data/data.pkg", passwordText());
    EXPECT_EQ(loader().loadingProgress(), 0);
    EXPECT_EQ(runSteps(), stepsFor(game, false));
    EXPECT_EQ(loader().loadingProgress(), 100);
    EXPECT_FALSE(loader().loadingFailed()) << loader().errorText();
    const auto fromDirectory = snapshot();

    useRoot(packed);
    ASSERT_TRUE(loader().isArchiveMode());
    loader().preload("data/data.pkg", passwordText());
    EXPECT_EQ(loader().loadingProgress(), 0);
    // 7 attributes members, the absent settings connections, 4 connections members.
    EXPECT_EQ(runSteps(), stepsFor(game, true));
    EXPECT_EQ(stepsFor(game, true), 7 + 1 + 4);
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

// Each step reads one file at most, the general settings first in each phase. From the
// directory a step that finds no file ends its class, and the last class's ends the phase;
// from the archive a phase's first step reads the general settings' file of its kind (the
// connections one is not there) and every later step the member the step before found.
TEST_F(LoadingTest, EachStepReadsOneFileAtMost)
{
    TempDir plain, packed;
    writeDirectory(plain, game);
    archive_test::writeBytes(packed.file("data/data.pkg"), makeArchive(game, decodeArchivePassword(passwordText())));
    for (TempDir* root : {&plain, &packed}) {
        useRoot(*root);
        const bool archive = loader().isArchiveMode();
        SCOPED_TRACE(archive ? "archive" : "directory");
        loader().preload("data/data.pkg", passwordText());
        std::vector<std::vector<std::string>> steps;
        for (bool done = false; !done && steps.size() < 1000;) {
            log.clear();
            done = archive ? loader().loadNextArchiveFile(passwordText()) : loader().loadNextPlainFile();
            steps.emplace_back();
            // The files read; from the archive a look for a member it lacks logs its name too.
            for (const std::string& line : log) {
                if (line.find("for class from ") != std::string::npos)
                    steps.back().push_back(line.substr(line.find_last_of("/ ") + 1));
            }
        }
        ASSERT_EQ(steps.size(), static_cast<std::size_t>(stepsFor(game, archive)));
        EXPECT_EQ(loader().loadingState().steps, static_cast<int>(steps.size()));
        const std::size_t classes = controller().registry().size();
        std::size_t withoutFile = 0;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            EXPECT_LE(steps[i].size(), 1u) << "step " << i;
            withoutFile += steps[i].empty();
        }
        // From the directory, the end of each class in each phase; from the archive, none.
        EXPECT_EQ(withoutFile, archive ? 0u : 2 * classes);
        EXPECT_THAT(steps[0], testing::ElementsAre("ZqModelGeneralSettings.0.attributes.pack"));
        if (archive) {
            EXPECT_THAT(steps[7], testing::ElementsAre("ZqModelGeneralSettings.0.connections.pack"));
            EXPECT_THAT(steps[8], testing::ElementsAre(testing::EndsWith(".connections.pack")));
        }
        EXPECT_EQ(loader().loadingState().filesRead, 11);
        EXPECT_EQ(loader().loadingProgress(), 100);
        EXPECT_FALSE(loader().loadingFailed()) << loader().errorText();
        EXPECT_EQ(snapshot().size(), 8u);
    }

    // A game without connections files: the connections phase still walks every class from
    // the directory, and spends one step on the archive.
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
        EXPECT_EQ(runSteps(), stepsFor(unlinked, loader().isArchiveMode()));
        EXPECT_EQ(loader().loadingProgress(), 100);
    }
    EXPECT_EQ(stepsFor(unlinked, true), 7 + 1);
}

// The progress a step shows is taken at its start: half the bar a phase, the classes done
// (from the archive, the members read) against the registered classes; the last step
// shows 100. An archive with more members of a kind than there are classes passes 100 in
// its connections pass, until its last step shows 100.
TEST_F(LoadingTest, ProgressAtTheStartOfEveryStep)
{
    const std::vector<std::string>& classes = controller().registry().classNames();
    const double count = static_cast<double>(classes.size());
    ASSERT_NE(std::find(classes.begin(), classes.end(), "ZqModelGeneralSettings"), classes.end());
    const auto shown = [&](std::size_t done, int phase) { return static_cast<int>(done * 50.0 / count) + 50 * phase; };
    const auto progress = [&] {
        std::vector<int> values;
        for (bool done = false; !done && values.size() < 1000;) {
            done = loader().isArchiveMode() ? loader().loadNextArchiveFile(passwordText())
                                            : loader().loadNextPlainFile();
            values.push_back(loader().loadingProgress());
        }
        return values;
    };

    // From the directory each class's files and the step that ends it show the classes
    // done before it, the general settings first.
    TempDir plain;
    writeDirectory(plain, game);
    useRoot(plain);
    loader().preload("data/data.pkg", passwordText());
    std::vector<std::string> order{"ZqModelGeneralSettings"};
    std::copy_if(classes.begin(), classes.end(), std::back_inserter(order),
                 [](const std::string& name) { return name != "ZqModelGeneralSettings"; });
    std::vector<int> expected;
    for (const char* suffix : {".attributes.pack", ".connections.pack"}) {
        const int phase = expected.empty() ? 0 : 1;
        for (std::size_t done = 0; done < order.size(); ++done) {
            std::size_t number = 0;
            while (std::any_of(game.begin(), game.end(), [&](const auto& file) {
                return file.first == order[done] + "." + std::to_string(number) + suffix;
            }))
                ++number;
            expected.insert(expected.end(), number + 1, shown(done, phase));
        }
    }
    expected.back() = 100;
    EXPECT_EQ(progress(), expected);

    // From the archive each step shows the members read before it in its phase: 7
    // attributes members, then the settings' connections (not there) and 4 members.
    TempDir packed;
    archive_test::writeBytes(packed.file("data/data.pkg"), makeArchive(game, decodeArchivePassword(passwordText())));
    useRoot(packed);
    loader().preload("data/data.pkg", passwordText());
    expected.clear();
    for (std::size_t read = 0; read < 7; ++read)
        expected.push_back(shown(read, 0));
    for (std::size_t read = 0; read < 5; ++read)
        expected.push_back(shown(read, 1));
    expected.back() = 100;
    EXPECT_EQ(progress(), expected);

    // More connections members than classes: the value reaches 100 before the last member
    // and passes it; the last step shows 100.
    GameFiles many = game;
    const Bytes links = std::find_if(game.begin(), game.end(), [](const auto& file) {
                            return file.first == "ZqNodeUI.0.connections.pack";
                        })->second;
    for (std::size_t number = 1; number <= classes.size() + 5; ++number)
        many.emplace_back("ZqNodeUI." + std::to_string(number) + ".connections.pack", links);
    TempDir crowded;
    archive_test::writeBytes(crowded.file("data/data.pkg"), makeArchive(many, decodeArchivePassword(passwordText())));
    useRoot(crowded);
    loader().preload("data/data.pkg", passwordText());
    const std::vector<int> values = progress();
    ASSERT_EQ(values.size(), static_cast<std::size_t>(stepsFor(many, true)));
    EXPECT_EQ(values[7 + classes.size()], 100);
    EXPECT_GT(*std::max_element(values.begin(), values.end()), 100);
    EXPECT_EQ(values.back(), 100);
    EXPECT_FALSE(loader().loadingFailed()) << loader().errorText();
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
    EXPECT_EQ(runSteps(), stepsFor(game, true));
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
