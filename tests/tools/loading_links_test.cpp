// Links through a whole load, and what a reset leaves: a link names its source attribute by
// a name that other classes use too, on both reading roads, from the directory and the
// archive; a reset after the load lets every model go.
#include "tools_test_support.h"

#include "tools/ZqDataWriter.h"
#include "tools/ZqGameBuilder.h"
#include "tools/ZqSampleGame.h"
#include "model/loading/ZqModelLoader.h"

#include <gtest/gtest.h>

using namespace archive_test;
using namespace tools_test;

namespace {

// Shares both attribute names with the generated model, where "Input" is a target: here
// both are sources, so a link read by the wrong class's table would land elsewhere.
class LinkSourceModel : public ZqModel {
public:
    explicit LinkSourceModel(const std::string& name) : ZqModel(name)
    {
        (new ZqAttribute("Input", this))->setConnectionType(ZqBaseAttribute::kSource, true);
        (new ZqAttribute("Output", this))->setConnectionType(ZqBaseAttribute::kSource, true);
    }
    LinkSourceModel(const LinkSourceModel& source) : ZqModel(source) {}
    ZQ_MODEL_IDENTITY(LinkSourceModel, ZqModel)
    static std::shared_ptr<LinkSourceModel> create() { return zqCreateModel<LinkSourceModel>("source"); }
};

// Two attributes of one name, a target and then a source, and a third source: a link to
// "Port" must reach the second attribute, the first source of that name.
class TwinPortModel : public ZqModel {
public:
    explicit TwinPortModel(const std::string& name) : ZqModel(name)
    {
        (new ZqAttribute("Port", this))->setConnectionType(ZqBaseAttribute::kTarget, true);
        (new ZqAttribute("Port", this))->setConnectionType(ZqBaseAttribute::kSource, true);
        (new ZqAttribute("Other", this))->setConnectionType(ZqBaseAttribute::kSource, true);
    }
    TwinPortModel(const TwinPortModel& source) : ZqModel(source) {}
    ZQ_MODEL_IDENTITY(TwinPortModel, ZqModel)
    static std::shared_ptr<TwinPortModel> create() { return zqCreateModel<TwinPortModel>("twin"); }
};

// The source attribute a model's "Input" is linked to, as "<owner id>:<name>".
std::string inputSource(const ZqModelController& controller, unsigned id)
{
    const std::shared_ptr<ZqModel> model = controller.modelById(id);
    const ZqBaseAttribute* input = model ? model->findAttribute("Input") : nullptr;
    const ZqBaseAttribute* source = input ? input->connectedSource() : nullptr;
    if (!source)
        return "none";
    const ZqModel* owner = ZqModel::ownerOf(source);
    return (owner ? std::to_string(owner->id()) : "?") + ":" + std::string(source->name());
}

TEST_F(ToolsTest, LinksReachTheirSourceOnAnotherClassOfTheSameNamesAndAResetFreesEveryModel)
{
    // A controller of the test's own: its registry holds the extra class.
    delete ZqModelController::shared();
    ZqModelController own;
    static const ZqModelClass rows[] = {zqModelClassRow<LinkSourceModel>()};
    own.addModelClasses(ZqSampleGame::generatedModelClasses());
    own.addModelClasses(rows);
    ZqSampleGame::Generated game;
    game.classNames = {ZqGeneratedModel::staticClassName(), LinkSourceModel::staticClassName()};
    game.modelCount = 40;
    game.fanout = 3;
    game.treeSize = 10;
    ZqSampleGame::buildGenerated(own, game);
    // Model k (id k + 2) takes model k / 2's "Output": a generated model's from model 4 on
    // every other step, a link source's otherwise.
    ASSERT_EQ(inputSource(own, 4), "3:Output");
    ASSERT_EQ(inputSource(own, 6), "4:Output");
    TempDir roots[2];
    for (const bool archive : {false, true}) {
        ZqDataWriter::Options options;
        options.plainFiles = !archive;
        options.archive = archive;
        ZqDataWriter(own, options).write(roots[archive].file("data"));
    }
    // Described under the dictionary the writer made.
    const std::map<unsigned, std::string> written = describeModels(own);

    for (const bool archive : {false, true}) {
        for (const ZqModelFileRoad road : {ZqModelFileRoad::kVisitor, ZqModelFileRoad::kMaps}) {
            SCOPED_TRACE(std::string(archive ? "archive" : "directory") +
                         (road == ZqModelFileRoad::kVisitor ? ", visitor" : ", maps"));
            ZqModelLoader::shared()->setModelFileRoad(road);
            const LoadRun run = loadGame(own, roots[archive].path().string());
            ASSERT_FALSE(run.failed) << run.error;
            EXPECT_EQ(inputSource(own, 4), "3:Output");
            EXPECT_EQ(inputSource(own, 6), "4:Output");
            EXPECT_EQ(inputSource(own, 3), "none") << "a source is never linked";
            EXPECT_EQ(describeModels(own), written);

            std::vector<std::weak_ptr<ZqModel>> loaded;
            for (const auto& [typeId, models] : own.modelsByType())
                loaded.insert(loaded.end(), models.begin(), models.end());
            ASSERT_EQ(loaded.size(), game.modelCount + 1);
            own.reset();
            EXPECT_TRUE(own.modelsByType().empty());
            for (const std::weak_ptr<ZqModel>& model : loaded)
                EXPECT_TRUE(model.expired()) << "a model outlived the reset";
            // Fresh ids start over: nothing is registered.
            EXPECT_EQ(own.nextModelId(), 1u);
            own.reset();
        }
    }
    ZqModelLoader::shared()->setModelFileRoad(ZqModelFileRoad::kVisitor);
}

TEST_F(ToolsTest, ALinkTakesTheFirstSourceOfItsNameByCodeAndByNameOnceTheListChanged)
{
    delete ZqModelController::shared();
    ZqModelController own;
    static const ZqModelClass rows[] = {zqModelClassRow<TwinPortModel>()};
    own.addModelClasses(ZqSampleGame::generatedModelClasses());
    own.addModelClasses(rows);
    ZqGameBuilder::startGame(own, "Twin ports");
    const std::shared_ptr<TwinPortModel> twin = TwinPortModel::create();
    const std::shared_ptr<ZqGeneratedModel> user = ZqGeneratedModel::create();
    twin->setId(2);
    user->setId(3);
    own.addModel(twin);
    own.addModel(user);
    user->m_input->connect(twin->attributes()[2]);
    TempDir root;
    ZqDataWriter(own, ZqDataWriter::Options()).write(root.file("data"));

    for (const ZqModelFileRoad road : {ZqModelFileRoad::kVisitor, ZqModelFileRoad::kMaps}) {
        SCOPED_TRACE(road == ZqModelFileRoad::kVisitor ? "visitor" : "maps");
        ZqModelLoader::shared()->setModelFileRoad(road);
        const LoadRun run = loadGame(own, root.path().string());
        ASSERT_FALSE(run.failed) << run.error;
        const std::shared_ptr<ZqModel> loadedTwin = own.modelById(2);
        ASSERT_TRUE(loadedTwin);
        ASSERT_EQ(loadedTwin->classLayoutSize(), loadedTwin->attributes().size());
        const ZqBaseAttribute* port = loadedTwin->attributes()[2];
        EXPECT_EQ(inputSource(own, 3), "2:Port");
        EXPECT_EQ(own.modelById(3)->findAttribute("Input")->connectedSource(), port);
        EXPECT_EQ(own.linkSource(*loadedTwin, "Port"), port);
        EXPECT_EQ(own.linkSource(*loadedTwin, "Other"), loadedTwin->attributes()[3]);
        EXPECT_EQ(own.linkSource(*loadedTwin, "Missing"), nullptr);
        // Renamed, the source leaves the class's codes: names decide from then on.
        loadedTwin->attributes()[2]->setName("Gone", true);
        EXPECT_LT(loadedTwin->classLayoutSize(), loadedTwin->attributes().size());
        EXPECT_EQ(own.linkSource(*loadedTwin, "Port"), nullptr);
        EXPECT_EQ(own.linkSource(*loadedTwin, "Gone"), port);
    }
    ZqModelLoader::shared()->setModelFileRoad(ZqModelFileRoad::kVisitor);
    own.reset();
}

} // namespace
