// The zqexport and zqplayer programs as the README runs them: export the sample game,
// load it headless, report what was loaded or why loading failed.
#include "tools_test_support.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <string>

using namespace archive_test;
using namespace tools_test;

namespace {

struct ProgramRun {
    int status = -1;
    std::string output;
};

// Runs the command in directory, stdout and stderr together.
ProgramRun run(const std::string& directory, const std::string& command)
{
    const std::string log = directory + "/output.txt";
    const int raw = std::system(("cd '" + directory + "' && " + command + " >'" + log + "' 2>&1").c_str());
    ProgramRun result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    const Bytes bytes = readBytes(log);
    result.output.assign(bytes.begin(), bytes.end());
    return result;
}

TEST(Programs, ExportedSampleGameIsLoadedByThePlayer)
{
    for (const char* mode : {"", " --archive"}) {
        TempDir dir;
        const ProgramRun exported = run(dir.path().string(), std::string(ZQ_EXPORT_PROGRAM) + " game" + mode);
        ASSERT_EQ(exported.status, 0) << exported.output;
        const std::string game = dir.file("game");
        const ProgramRun played = run(game, ZQ_PLAYER_PROGRAM);
        EXPECT_EQ(played.status, 0) << played.output;
        EXPECT_NE(played.output.find(*mode ? "from data/data.pkg" : "from the data directory"), std::string::npos)
            << played.output;
        EXPECT_NE(played.output.find("ZqModelGeneralSettings: 1"), std::string::npos) << played.output;
        EXPECT_NE(played.output.find("ZqModelLevelSection: 3"), std::string::npos) << played.output;
        EXPECT_NE(played.output.find("Application Name: Zq Sample Game"), std::string::npos) << played.output;
    }
}

TEST(Programs, PlayerFailsWithTheLoadersErrorText)
{
    TempDir dir;
    const ProgramRun noData = run(dir.path().string(), ZQ_PLAYER_PROGRAM);
    EXPECT_NE(noData.status, 0);
    EXPECT_NE(noData.output.find("Loading failed: "), std::string::npos) << noData.output;

    writeBytes(dir.file("data/data.pkg"), bytesOf("not a zip archive at all"));
    const ProgramRun badArchive = run(dir.path().string(), ZQ_PLAYER_PROGRAM);
    EXPECT_NE(badArchive.status, 0);
    EXPECT_NE(badArchive.output.find("Loading failed: "), std::string::npos) << badArchive.output;
}

TEST(Programs, ExportGeneratesGamesAndRefusesBadArguments)
{
    TempDir dir;
    const ProgramRun generated = run(dir.path().string(), std::string(ZQ_EXPORT_PROGRAM) + " big --models 50");
    ASSERT_EQ(generated.status, 0) << generated.output;
    EXPECT_NE(generated.output.find("(51 models)"), std::string::npos) << generated.output;
    EXPECT_FALSE(readBytes(dir.file("big/data/ZqGeneratedModel.0.attributes.pack")).empty());

    for (const char* arguments : {"", " out --models", " out --models -3", " out --models 12x", " out --zip", " a b"})
        EXPECT_EQ(run(dir.path().string(), std::string(ZQ_EXPORT_PROGRAM) + arguments).status, 2) << arguments;
}

} // namespace
