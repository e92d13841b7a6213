// A generated game holding models of every registered class, written by the data writer
// into an archive and read back through the player's loading steps: every value, child
// and link must come back as written.
#include "object_support.h"
#include "../../tools/tools_test_support.h"

#include "model/ZqModelRegistry.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "tools/ZqDataWriter.h"

namespace {

using namespace object_test;
using namespace tools_test;
using archive_test::TempDir;

// The first registered model of that class.
std::shared_ptr<ZqModel> firstOf(ZqModelController& controller, const std::string& className)
{
    for (const auto& entry : controller.modelsByType()) {
        for (const std::shared_ptr<ZqModel>& model : entry.second) {
            if (model->className() == className)
                return model;
        }
    }
    return nullptr;
}

TEST_F(ToolsTest, GameWithEveryClassLoadsFromTheArchiveIntact)
{
    std::vector<std::string> classNames;
    for (const std::string& name : controller().registry().classNames()) {
        if (name != ZqModelGeneralSettings::staticClassName())
            classNames.push_back(name);
    }
    ASSERT_EQ(classNames.size() + 1, zqModelClassTable().size()) << "classes missing from the registry";

    ZqSampleGame::Generated game;
    game.classNames = classNames;
    game.modelCount = 2 * classNames.size();
    game.fanout = 3;
    game.treeSize = 9;
    ZqSampleGame::buildGenerated(controller(), game);

    // One model of each class gets a value other than its default in every attribute,
    // with references to models of the game.
    const ModelList media = {firstOf(controller(), "ZqModelSpriteContainer"), firstOf(controller(), "ZqModelPolygon"),
                             firstOf(controller(), "ZqModelAnimation"),       firstOf(controller(), "ZqModelSound"),
                             firstOf(controller(), "ZqModelObjectAssetUnit"), firstOf(controller(), "ZqModelAssetObstacle")};
    for (const std::shared_ptr<ZqModel>& model : media)
        ASSERT_TRUE(model);
    for (const std::string& name : classNames)
        changeEveryAttribute(*firstOf(controller(), name), media);
    const auto particles = modelCast<ZqModelObjectParticles>(firstOf(controller(), "ZqModelObjectParticles"));
    const auto emitter = modelCast<ZqModelObjectParticlesEmitter>(firstOf(controller(), "ZqModelObjectParticlesEmitter"));
    ASSERT_TRUE(particles && emitter);
    particles->addEmitter(*emitter);

    TempDir root;
    ZqDataWriter::Options options;
    options.plainFiles = false;
    options.archive = true;
    ZqDataWriter(controller(), options).write(root.path().string() + "/data");
    // Described with the key dictionary the writer installed.
    const std::map<unsigned, std::string> written = describeModels(controller());
    std::map<unsigned, std::vector<std::string>> writtenLines;
    for (const auto& entry : written)
        writtenLines[entry.first] = modelLines(*controller().modelById(entry.first));
    const unsigned emitterId = emitter->id();
    const unsigned particlesId = particles->id();

    const LoadRun run = loadGame(controller(), root.path().string());
    ASSERT_TRUE(run.archive);
    ASSERT_FALSE(run.failed) << run.error;
    EXPECT_EQ(run.progress.back(), 100);
    const std::map<unsigned, std::string> loaded = describeModels(controller());
    EXPECT_EQ(loaded.size(), written.size());
    for (const auto& [id, text] : written) {
        const auto found = loaded.find(id);
        ASSERT_NE(found, loaded.end()) << text.substr(0, 60);
        const std::shared_ptr<ZqModel> model = controller().modelById(id);
        EXPECT_EQ(modelLines(*model), writtenLines[id]);
        EXPECT_EQ(found->second, text) << "model " << id;
    }

    // The link came back as objects, not only as equal bytes.
    const auto loadedParticles = modelCast<ZqModelObjectParticles>(controller().modelById(particlesId));
    ASSERT_TRUE(loadedParticles);
    ASSERT_EQ(loadedParticles->emitters().size(), 1u);
    EXPECT_EQ(loadedParticles->emitters()[0]->id(), emitterId);
}

} // namespace
