// Every byte of the key file, of one attributes file and of one connections file damaged
// in turn, in the plain directory and inside the archive (the member written with the
// damaged bytes, so that its check sums hold). The files carry no check sum of their
// own, so not every damage can be found; but a load that does not fail must give a game
// the damaged data describes. The loaded game is written back with the data writer and
// compared with the files:
//   - the original files back: the damage changed nothing that is read;
//   - the damaged file back (the others unchanged): a value became another well-formed
//     value of its type, which the data cannot tell from the right one;
//   - otherwise the load's log holds a line the undamaged load's does not (what was not
//     read or not linked), so the damage is reported, not silent.
#include "tools_test_support.h"

#include "tools/ZqDataWriter.h"
#include "tools/ZqSampleGame.h"

#include <ZqLog.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace archive_test;
using namespace tools_test;

namespace {

class DamagedFilesTest : public LoggedToolsTest {
protected:
    // Writes the files below root: each in data/, or all in data/data.pkg.
    static void writeGame(const TempDir& root, const Files& files, bool archive)
    {
        if (!archive) {
            for (const auto& [name, bytes] : files)
                writeBytes(root.file("data/" + name), bytes);
            return;
        }
        std::vector<ZqDataFile> list;
        for (const auto& [name, bytes] : files)
            list.push_back({name, bytes});
        writeBytes(root.file("data/data.pkg"), ZqDataWriter::archiveOf(list));
    }

    // Whether the last load logged a line the undamaged load did not.
    bool loggedSomethingNew(const std::set<std::string>& undamaged) const
    {
        return std::any_of(m_log.begin(), m_log.end(),
                           [&](const std::string& line) { return undamaged.count(line) == 0; });
    }

    void damageEveryByte(bool archive);

    // Loads the files from the directory and from the archive: no line tells of a loss.
    void expectNoLoss(const Files& files)
    {
        for (const bool archive : {false, true}) {
            TempDir root;
            writeGame(root, files, archive);
            m_log.clear();
            ASSERT_FALSE(loadGame(controller(), root.path().string()).failed);
            for (const std::string& line : m_log) {
                for (const char* loss : {", attribute \"", "- not linked", "- skipped", "which no class registered",
                                         "without an \"id\"", "has no \"Class Name\"", "held by no model"})
                    EXPECT_EQ(line.find(loss), std::string::npos) << line;
            }
        }
    }
};

void DamagedFilesTest::damageEveryByte(bool archive)
{
    ZqSampleGame::Generated game;
    game.modelCount = 4;
    game.fanout = 2;
    ZqSampleGame::buildGenerated(controller(), game);
    const Files original = writtenFiles();
    TempDir root;
    writeGame(root, original, archive);
    m_log.clear();
    ASSERT_FALSE(loadGame(controller(), root.path().string()).failed);
    ASSERT_EQ(loadGame(controller(), root.path().string()).archive, archive);
    ASSERT_TRUE(writtenFiles() == original) << "undamaged data does not write back byte for byte";
    const std::set<std::string> undamaged(m_log.begin(), m_log.end());

    for (const std::string target :
         {"Keys.pack", "ZqGeneratedModel.0.attributes.pack", "ZqGeneratedModel.0.connections.pack"}) {
        ASSERT_EQ(original.count(target), 1u) << target;
        const std::vector<unsigned char>& good = original.at(target);
        std::size_t failed = 0, unchanged = 0, indistinguishable = 0, reported = 0;
        for (std::size_t offset = 0; offset < good.size(); ++offset) {
            Files described = original;
            described[target][offset] ^= 0x5a;
            writeGame(root, described, archive);
            m_log.clear();
            if (loadGame(controller(), root.path().string()).failed) {
                ++failed;
                continue;
            }
            const Files back = writtenFiles();
            if (back == original)
                ++unchanged;
            else if (back == described)
                ++indistinguishable;
            else if (loggedSomethingNew(undamaged))
                ++reported;
            else
                ADD_FAILURE() << target << " damaged at byte " << offset << (archive ? " in the archive" : "")
                              << " loads as another game without a word";
        }
        EXPECT_GT(failed, 0u) << target;
        RecordProperty(target, std::to_string(failed) + " failed, " + std::to_string(unchanged) + " unchanged, " +
                                   std::to_string(indistinguishable) + " indistinguishable, " +
                                   std::to_string(reported) + " reported");
    }
}

// The lines of loss are never printed for undamaged data: the sample game (screens with
// children, node ports, links and references) loads without one. (The preload reads the
// screens' children before their files, which has lines of its own.)
TEST_F(DamagedFilesTest, TheUndamagedSampleGameLogsNoLoss)
{
    ZqSampleGame::build(controller());
    expectNoLoss(writtenFiles());
}

// The generated games of the tests head trees with models of any class, which nothing else
// holds: none is told as held by nothing.
TEST_F(DamagedFilesTest, UndamagedGeneratedGamesLogNoLoss)
{
    ZqSampleGame::Generated everyClass;
    for (const std::string& className : controller().registry().classNames()) {
        if (className != ZqModelGeneralSettings::staticClassName() && className != ZqGeneratedModel::staticClassName())
            everyClass.classNames.push_back(className);
    }
    everyClass.modelCount = everyClass.classNames.size() * 3;
    everyClass.fanout = 2;
    everyClass.treeSize = 7;
    for (const ZqSampleGame::Generated& game : {ZqSampleGame::Generated{}, everyClass}) {
        ZqSampleGame::buildGenerated(controller(), game);
        expectNoLoss(writtenFiles());
    }
}

TEST_F(DamagedFilesTest, EveryByteInTheDirectory)
{
    damageEveryByte(false);
}

TEST_F(DamagedFilesTest, EveryByteInTheArchive)
{
    damageEveryByte(true);
}

} // namespace
