// The two ways of reading model files, the player's one-pass visitor and the map-by-map
// road, give the same game or the same error: on the sample game, on a generated game of
// 10,000 models, and on a corpus of damaged copies of the sample's files.
#include "tools_test_support.h"

#include "tools/ZqDataWriter.h"
#include "tools/ZqSampleGame.h"
#include "model/loading/ZqModelLoader.h"

#include <ZqLog.h>

#include <gtest/gtest.h>

#include <filesystem>

using namespace archive_test;
using namespace tools_test;

namespace {

struct RoadRun {
    std::string error;
    std::map<unsigned, std::string> models;
};

RoadRun loadWith(ZqModelController& controller, ZqModelFileRoad road, const std::string& root)
{
    ZqModelLoader::shared()->setModelFileRoad(road);
    const LoadRun run = loadGame(controller, root);
    RoadRun result{run.failed ? run.error : std::string(), describeModels(controller)};
    ZqModelLoader::shared()->setModelFileRoad(ZqModelFileRoad::kVisitor);
    return result;
}

enum class Source { kSample, kGenerated, kDamagedSample };

class LoadingRoadsTest : public ToolsTest, public ::testing::WithParamInterface<Source> {
protected:
    void SetUp() override
    {
        ToolsTest::SetUp();
        zqSetLogSink([](const char*) {});
    }
    void TearDown() override
    {
        zqSetLogSink({});
        ToolsTest::TearDown();
    }

    // Loads root both ways and expects the same models and the same error; the visitor's.
    RoadRun expectSameRoads(const std::string& root, const std::string& what)
    {
        RoadRun visitor = loadWith(controller(), ZqModelFileRoad::kVisitor, root);
        const RoadRun maps = loadWith(controller(), ZqModelFileRoad::kMaps, root);
        EXPECT_EQ(visitor.error, maps.error) << what;
        EXPECT_TRUE(visitor.models == maps.models) << what << ": the roads read different models";
        return visitor;
    }

    std::vector<ZqDataFile> writeGame(const std::string& data)
    {
        ZqDataWriter::Options options;
        options.modelsPerFile = GetParam() == Source::kGenerated ? 1000 : 0;
        ZqDataWriter writer(controller(), options);
        writer.write(data);
        return writer.buildFiles();
    }
};

TEST_P(LoadingRoadsTest, BothRoadsReadTheSameGame)
{
    TempDir root;
    const std::string data = root.file("data");
    if (GetParam() == Source::kGenerated) {
        ZqSampleGame::Generated game;
        game.modelCount = 10000;
        game.fanout = 4;
        game.treeSize = 500;
        ZqSampleGame::buildGenerated(controller(), game);
    } else {
        ZqSampleGame::build(controller());
    }
    const std::vector<ZqDataFile> files = writeGame(data);
    controller().reset();
    if (GetParam() != Source::kDamagedSample) {
        const RoadRun visitor = expectSameRoads(root.path().string(), "undamaged");
        EXPECT_EQ(visitor.error, "");
        EXPECT_GT(visitor.models.size(), 10u);
        return;
    }
    // Each model file in turn: cut in half, and a byte changed at two places into values
    // that MessagePack reads differently (a reserved byte, a huge map, a huge array, nil,
    // a string header, a negative number, a small number), taken in turn over the files.
    const unsigned char replacements[] = {0xc1, 0xdf, 0xdd, 0xc0, 0xa3, 0xff, 0x00, 0x7f};
    std::size_t cases = 0;
    std::size_t k = 0;
    for (const ZqDataFile& file : files) {
        if (file.name == "Keys.pack" || file.bytes.empty())
            continue;
        const std::string path = data + "/" + file.name;
        std::vector<std::vector<unsigned char>> variants;
        variants.emplace_back(file.bytes.begin(), file.bytes.begin() + static_cast<long>(file.bytes.size() / 2));
        for (std::size_t third = 1; third <= 2; ++third, ++k) {
            variants.push_back(file.bytes);
            variants.back()[file.bytes.size() * third / 3] = replacements[k % std::size(replacements)];
        }
        for (const std::vector<unsigned char>& variant : variants) {
            writeBytes(path, variant);
            expectSameRoads(root.path().string(), file.name + " damaged, case " + std::to_string(cases));
            ++cases;
        }
        writeBytes(path, file.bytes);
    }
    EXPECT_GT(cases, 30u);
}

INSTANTIATE_TEST_SUITE_P(Games, LoadingRoadsTest,
                         ::testing::Values(Source::kSample, Source::kGenerated, Source::kDamagedSample),
                         [](const ::testing::TestParamInfo<Source>& info) {
                             switch (info.param) {
                             case Source::kSample: return std::string("SampleGame");
                             case Source::kGenerated: return std::string("Generated10000");
                             default: return std::string("DamagedSampleFiles");
                             }
                         });

} // namespace
