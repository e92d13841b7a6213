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

#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelButtons.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqNode.h"
#include "tools/ZqDataWriter.h"
#include "tools/ZqGameBuilder.h"
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
                                         "without an \"id\"", "has no \"Class Name\"", "held by no model",
                                         "damaged", "lost", "nothing follows", "has no \""})
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

// Games an editor exports as a matter of course, which the loader once called damaged: a
// sound and an outline nothing uses, an obstacle asset and a character without components
// placed nowhere, a power-up the shop sells by its id alone, a port whose link was taken
// away and one that the pause follows. Each loads as written, with no line of loss.
TEST_F(DamagedFilesTest, ValidGamesWithUnusedModelsAndUnlinkedPortsLoadQuietly)
{
    ZqGameBuilder game;
    ZqGameBuilder::startGame(controller(), "Quiet");
    const auto start = game.startNode(2, 3);
    const auto menu = game.interfaceNode(4, 5, "Menu", 200.0f);
    const auto pause = game.interfaceNode(6, 7, "Paused", 400.0f);
    ZqGameBuilder::link(*start, "Load", *menu);
    ZqGameBuilder::link(*menu, "Pause", *pause);
    ZqGameBuilder::link(*menu, "Credits", *pause);
    pause->loadPort()->disconnect(menu->findAttribute("Credits"), true);
    game.sound(8, "Unused Sound", 0.1);
    game.boxShape(9, "Unused Outline", 10.0f, 10.0f);
    game.make<ZqModelAsset>(10, "Unplaced Obstacle");
    game.make<ZqModelAssetCharacter>(11, "Unplaced Character");
    game.make<ZqModelAssetPowerup>(12, "Magnet");
    const auto purchase = game.make<ZqModelObjectButtonPurchase>(13, "Magnet Purchase");
    purchase->m_type->setValue("kPurchasePowerup", true);
    purchase->m_action->setValue("12", true);
    menu->screen()->addChild(purchase, true);
    game.addTo(controller());
    const Files files = writtenFiles();
    std::map<unsigned, std::string> written = describeModels(controller());
    expectNoLoss(files);
    std::map<unsigned, std::string> loaded = describeModels(controller());
    // The port without a link is not made again, as the node's reading has it.
    const std::shared_ptr<ZqModel> node = controller().modelById(menu->id());
    ASSERT_TRUE(node);
    EXPECT_FALSE(node->findAttribute("Credits"));
    const ZqBaseAttribute* paused = node->findAttribute("Pause");
    ASSERT_TRUE(paused && paused->connectedSource());
    EXPECT_EQ(ZqModel::ownerOf(paused->connectedSource())->id(), pause->id());
    written.erase(menu->id());
    loaded.erase(menu->id());
    EXPECT_EQ(loaded, written);
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
