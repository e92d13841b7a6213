// Every byte of one model file, and bytes spread evenly over the key file (about 400 of
// them: it lists the keys of every class), in the plain directory, damaged in turn.
// Plain files carry no check sum, so not every damage can be found; but a load that does
// not fail must give a game the damaged data describes. The loaded game is written back
// with the data writer and compared with the files:
//   - the original files back: the damage changed nothing that is read;
//   - the damaged file back (the others unchanged): a value became another well-formed
//     value of its type, which the data cannot tell from the right one;
//   - otherwise the log names what was not read or not linked (a damaged key name, an id
//     that no model has), so the damage is reported, not silent.
#include "tools_test_support.h"

#include "tools/ZqDataWriter.h"
#include "tools/ZqSampleGame.h"

#include <ZqLog.h>

#include <gtest/gtest.h>

using namespace archive_test;
using namespace tools_test;

namespace {

using Files = std::map<std::string, std::vector<unsigned char>>;

class DamagedFilesTest : public ToolsTest {
protected:
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

    // The files the writer makes of the registered models.
    Files writtenFiles()
    {
        Files files;
        for (ZqDataFile& file : ZqDataWriter(controller(), ZqDataWriter::Options()).buildFiles())
            files[file.name] = std::move(file.bytes);
        return files;
    }

    bool loggedUnread() const
    {
        for (const std::string& line : m_log) {
            if (line.find("- not read") != std::string::npos || line.find("which no model has") != std::string::npos)
                return true;
        }
        return false;
    }

    std::vector<std::string> m_log;
};

TEST_F(DamagedFilesTest, EveryByteOfAModelFileAndOfTheKeyFile)
{
    ZqSampleGame::Generated game;
    game.modelCount = 4;
    game.fanout = 2;
    ZqSampleGame::buildGenerated(controller(), game);
    const Files original = writtenFiles();
    TempDir root;
    for (const auto& [name, bytes] : original)
        writeBytes(root.file("data/" + name), bytes);
    ASSERT_FALSE(loadGame(controller(), root.path().string()).failed);
    ASSERT_TRUE(writtenFiles() == original) << "undamaged data does not write back byte for byte";

    for (const std::string target : {"ZqGeneratedModel.0.attributes.pack", "Keys.pack"}) {
        const std::vector<unsigned char>& good = original.at(target);
        std::size_t failed = 0, unchanged = 0, indistinguishable = 0, reported = 0;
        const std::size_t step = target == "Keys.pack" ? std::max<std::size_t>(1, good.size() / 400) : 1;
        for (std::size_t offset = 0; offset < good.size(); offset += step) {
            std::vector<unsigned char> damaged = good;
            damaged[offset] ^= 0x5a;
            writeBytes(root.file("data/" + target), damaged);
            m_log.clear();
            if (loadGame(controller(), root.path().string()).failed) {
                ++failed;
                continue;
            }
            const Files back = writtenFiles();
            Files described = original;
            described[target] = damaged;
            if (back == original)
                ++unchanged;
            else if (back == described)
                ++indistinguishable;
            else if (loggedUnread())
                ++reported;
            else
                ADD_FAILURE() << target << " damaged at byte " << offset << " loads as another game without a word";
        }
        writeBytes(root.file("data/" + target), good);
        EXPECT_GT(failed, 0u) << target;
        RecordProperty(target, std::to_string(failed) + " failed, " + std::to_string(unchanged) + " unchanged, " +
                                   std::to_string(indistinguishable) + " indistinguishable, " +
                                   std::to_string(reported) + " reported");
    }
}

} // namespace
