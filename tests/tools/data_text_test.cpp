// Text from data reaches a person only escaped and cut: the real player reads a game whose
// class name, start node's name, power-up token and (in the archive) member name each hold
// a terminal's control sequence, a newline that would start a forged line, and 10 KB; and
// a test hook's value holds the same. Every line of the program's output is printable
// ASCII, no forged line appears, and each text shows in one escaped line.
#include "tools_test_support.h"
#include "player_runner.h"

#include "attributes/KeyDictionary.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqNode.h"
#include "tools/ZqGameBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using namespace archive_test;

namespace {

constexpr const char* kForged = "[ZqForged] a line of its own";

// A text as hostile data writes it: a colour change, the text, a newline and a forged
// line, then 10 KB.
std::string hostile(const std::string& text)
{
    return "\x1b[31m" + text + "\n" + kForged + std::string(10 << 10, 'x');
}

// The start of hostile(text) as a line shows it.
std::string escaped(const std::string& text)
{
    return "\\x1B[31m" + text + "\\x0A" + kForged;
}

class DataTextTest : public tools_test::ToolsTest {
protected:
    // The sample with no screen after its start screen (so the start node's name reaches
    // the program's message), written to game/data as files and, when archive, as data.pkg
    // with one more member.
    void writeGame(bool archive)
    {
        ZqGameBuilder builder;
        ZqSampleGame::build(controller(), builder);
        std::vector<std::shared_ptr<ZqModel>> others;
        for (const auto& node : controller().modelsOfKind<ZqNodeUI>()) {
            if (node->typeId() != ZqNodeUIStart::staticTypeId())
                others.push_back(node);
        }
        for (const auto& node : controller().modelsOfClass<ZqNodeScene>())
            others.push_back(node);
        for (const auto& node : others)
            controller().removeModel(node);
        const std::shared_ptr<ZqNodeUIStart> start = controller().modelsOfClass<ZqNodeUIStart>().front();
        start->setName(hostile("Start"));
        for (const auto& powerup : controller().modelsOfClass<ZqModelAssetPowerup>())
            powerup->m_powerupType->setValue(hostile("kPowerup"));

        ZqDataWriter::Options options;
        options.media = builder.writeMedia(dir.file("media-made"));
        ZqDataWriter(controller(), options).write(dir.file("game/data"));
        std::vector<ZqDataFile> files = ZqDataWriter(controller(), {}).buildFiles();
        controller().reset();

        // After the start node's map, one of a class no one has, under the node's id.
        msgpack::sbuffer buffer;
        msgpack::packer<msgpack::sbuffer> packer(buffer);
        packer.pack_map(2).pack(fixedKeyCode("id")).pack(start->id());
        packer.pack(fixedKeyCode("Class Name")).pack(hostile("Zq"));
        const auto startFile = std::find_if(files.begin(), files.end(), [](const ZqDataFile& file) {
            return file.name == "ZqNodeUIStart.0.attributes.pack";
        });
        ASSERT_NE(startFile, files.end());
        startFile->bytes.insert(startFile->bytes.end(), buffer.data(), buffer.data() + buffer.size());
        writeBytes(dir.file("game/data/" + startFile->name), startFile->bytes);
        if (archive) {
            // A member name that would set the terminal's title and forge a line.
            files.push_back({"\x1b]0;title\x07" + hostile("member") + ".attributes.pack", startFile->bytes});
            writeBytes(dir.file("game/data/data.pkg"), ZqDataWriter::archiveOf(files));
        }
    }

    player_test::PlayerRun play(player_test::PlayerOptions options = {})
    {
        options.directory = dir.file("game");
        return player_test::runPlayer(ZQ_PLAYER_PROGRAM, options);
    }

    // Every line printable ASCII, none forged, none a flood (a message shows at most 1020
    // bytes of its text, escaped).
    static void expectPrintableLines(const player_test::PlayerRun& run)
    {
        for (const std::string& line : run.lines()) {
            EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](char c) { return c >= 0x20 && c < 0x7F; }))
                << zqPrintable(line, kZqLogLineLength);
            EXPECT_NE(line.rfind("[ZqForged]", 0), 0u) << line;
            EXPECT_LE(line.size(), 4 * 4 * kZqLogLineLength + 3) << line;
        }
    }

    TempDir dir;
};

TEST_F(DataTextTest, NamesAndTokensFromDataReachTheOutputAsOneEscapedCutLineEach)
{
    for (const bool archive : {false, true}) {
        SCOPED_TRACE(archive ? "archive" : "directory");
        ASSERT_NO_FATAL_FAILURE(writeGame(archive));
        const player_test::PlayerRun run = play();
        EXPECT_FALSE(run.timedOut);
        EXPECT_EQ(run.status, 1) << zqPrintable(run.output, 1 << 20);
        expectPrintableLines(run);
        for (const std::string& logged :
             {"ZqNodeUIStart.0.attributes.pack: model 2 is of class \"" + escaped("Zq"),
              "[ZqAttributePowerupType] unknown token \"" + escaped("kPowerup")}) {
            const int line = run.lineWith(logged);
            ASSERT_GE(line, 0) << logged;
            EXPECT_EQ(run.lines()[line].size(), kZqLogLineLength);
        }
        // The program's message names the node by its first bytes, so that the rest stays
        // readable.
        const std::string name = hostile("Start");
        EXPECT_GE(run.lineWith("The game has no screen after its start screen: its start node \"" + escaped("Start") +
                               std::string(kZqPrintableLimit - name.find('x'), 'x') +
                               "...\" (model 2) leads to no other screen"),
                  0);
    }
}

TEST_F(DataTextTest, AHooksValueIsOneEscapedLine)
{
    player_test::PlayerOptions options;
    options.environment = {"ZQ_SEED=" + hostile("7")};
    std::filesystem::create_directories(dir.file("game"));
    const player_test::PlayerRun run = play(options);
    EXPECT_EQ(run.status, 2);
    expectPrintableLines(run);
    ASSERT_EQ(run.lines().size(), 1u) << run.output;
    const std::string line = run.lines()[0];
    EXPECT_EQ(line.rfind("ZQ_SEED: expected a whole number, got '" + escaped("7") + "xxx", 0), 0u) << line;
    // 1020 bytes shown, two of them as escapes of four characters, and the cut.
    EXPECT_EQ(line.size(), 4 * kZqLogLineLength + 2 * 3 + 3);
    EXPECT_EQ(line.substr(line.size() - 4), "x...");
}

} // namespace
