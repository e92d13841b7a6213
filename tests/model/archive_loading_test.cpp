// The loader on archives: AES members load like traditional ones and fail the same
// way under a wrong password; members it cannot place are logged; an oversized key
// file is damage.
#include "archive_test_util.h"
#include "tools/tools_test_support.h"

#include "model/loading/ZqGameSecrets.h"
#include "tools/ZqArchiveWriter.h"
#include "tools/ZqDataWriter.h"
#include "tools/ZqSampleGame.h"

#include <ZqLog.h>

#include <gtest/gtest.h>

#include <algorithm>

using namespace archive_test;
using Cipher = ZqArchiveWriter::Cipher;

namespace {

class ArchiveLoading : public tools_test::ToolsTest {
protected:
    void SetUp() override
    {
        ToolsTest::SetUp();
        ZqSampleGame::Generated game;
        game.modelCount = 40;
        ZqSampleGame::buildGenerated(controller(), game);
        files_ = ZqDataWriter(controller(), {}).buildFiles();  // installs the key dictionary
        written_ = tools_test::describeModels(controller());
        zqSetLogSink([this](const char* line) { log_.emplace_back(line); });
    }
    void TearDown() override
    {
        zqSetLogSink({});
        ToolsTest::TearDown();
    }

    Bytes archive(const std::vector<ZqDataFile>& files, Cipher cipher,
                  const std::string& password = decodeArchivePassword(kZqArchivePasswordText)) const
    {
        ZqArchiveWriter writer(password, cipher);
        for (const ZqDataFile& file : files)
            writer.addFile(file.name, file.bytes);
        return writer.archive();
    }

    tools_test::LoadRun load(const Bytes& archive)
    {
        writeBytes(root_.file("data/data.pkg"), archive);
        log_.clear();
        return tools_test::loadGame(controller(), root_.path().string());
    }

    size_t logged(const std::string& text) const
    {
        return std::count_if(log_.begin(), log_.end(),
                             [&](const std::string& line) { return line.find(text) != std::string::npos; });
    }

    std::map<unsigned, std::string> written_;
    std::vector<ZqDataFile> files_;
    std::vector<std::string> log_;
    TempDir root_;
};

TEST_F(ArchiveLoading, AesGameLoadsAndAWrongPasswordIsErrorP17)
{
    for (const Cipher cipher : {Cipher::Aes128, Cipher::Aes256}) {
        const tools_test::LoadRun run = load(archive(files_, cipher));
        EXPECT_FALSE(run.failed) << run.error;
        EXPECT_EQ(tools_test::describeModels(controller()), written_);

        const tools_test::LoadRun wrong = load(archive(files_, cipher, "not the game's password"));
        EXPECT_EQ(wrong.error, "Unable to load data: Keys.pack: Unable to open a file: Error P17");
    }
}

// A member that is no model file is passed over, and said to be; one whose name starts
// with no registered class is read all the same, as a file of its kind, and said to be.
TEST_F(ArchiveLoading, MembersTheLoaderCannotPlaceAreLogged)
{
    std::vector<ZqDataFile> files = files_;
    std::string attributes, connections;
    for (ZqDataFile& file : files) {
        if (file.name.find(".attributes.") != std::string::npos && attributes.empty() &&
            file.name.rfind("ZqModelGeneralSettings.", 0) != 0)
            attributes = file.name = "../../../" + file.name;
        if (file.name.find(".connections.") != std::string::npos && connections.empty())
            connections = file.name = "data/" + file.name;
    }
    ASSERT_FALSE(attributes.empty());
    ASSERT_FALSE(connections.empty());
    files.push_back({"readme.txt", bytesOf("notes")});
    files.push_back({"ZqNoSuchModel.0.attributes.pack", {}});
    const tools_test::LoadRun run = load(archive(files, Cipher::Aes256));
    EXPECT_FALSE(run.failed) << run.error;
    EXPECT_EQ(tools_test::describeModels(controller()), written_);
    EXPECT_EQ(logged("archive member not recognised, passed over: readme.txt"), 1u);
    EXPECT_EQ(logged("passed over"), 1u);
    EXPECT_EQ(logged("archive member not named after a registered class, read as an attributes file: " + attributes),
              1u);
    EXPECT_EQ(logged("archive member not named after a registered class, read as a connections file: " + connections),
              1u);
    EXPECT_EQ(logged("archive member not named after a registered class, read as an attributes file: "
                     "ZqNoSuchModel.0.attributes.pack"),
              1u);
    // The game's own members are named after their classes.
    EXPECT_EQ(logged("not named after a registered class"), 3u);
}

TEST_F(ArchiveLoading, KeyFileOver8MiBIsDamaged)
{
    std::vector<ZqDataFile> files = files_;
    files.front().bytes.resize((8u << 20) + 1, 'k');
    const std::string expected = "Failed to load keys: \"Keys.pack\" is damaged (larger than 8 MiB)";
    EXPECT_EQ(load(archive(files, Cipher::Traditional)).error, expected);

    TempDir plain;
    for (const ZqDataFile& file : files)
        writeBytes(plain.file("data/" + file.name), file.bytes);
    EXPECT_EQ(tools_test::loadGame(controller(), plain.path().string()).error, expected);
}

}
