#pragma once

// Shared set-up of the scene-model tests: a fresh controller, the game's answers to the
// models' questions, a key dictionary made from the keys the models write, and a round
// trip through the bytes of model files.
#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "model/ZqGameQuestions.h"
#include "model/ZqModelController.h"
#include "model/loading/ZqModelLoader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace scene_test {

// Installs a dictionary holding every key the models write (and the fixed codes).
inline void installKeysFor(const std::vector<std::shared_ptr<ZqModel>>& models)
{
    keyNameSet().clear();
    for (const std::shared_ptr<ZqModel>& model : models)
        model->collectKeys();
    KeyCodeTable table = fixedKeyCodeTable();
    int32_t code = 100;
    for (const std::string& name : keyNameSet())
        table.emplace(name, code++);
    installKeyDictionary(table);
}

// The bytes of an attributes file and of a connections file holding the models' maps.
struct ModelFiles {
    msgpack::sbuffer attributes;
    msgpack::sbuffer connections;
};

inline ModelFiles packModels(const std::vector<std::shared_ptr<ZqModel>>& models)
{
    ModelFiles files;
    for (const std::shared_ptr<ZqModel>& model : models) {
        msgpack::zone zone;
        MessagePackMap attributes(&zone);
        model->packAttributes(attributes);
        packObject(files.attributes, attributes.toObject());
        MessagePackMap connections(&zone);
        model->packConnections(connections);
        packObject(files.connections, connections.toObject());
    }
    return files;
}

// Drops every model and loads the files as the loader does: the attributes file first,
// then the connections file. The dictionary survives the reset.
inline void reloadModels(const ModelFiles& files)
{
    ZqModelController* controller = ZqModelController::shared();
    ZqModelLoader& loader = *ZqModelLoader::shared();
    const KeyCodeTable keys = KeyDictionary::shared().nameToCode;
    controller->reset();
    installKeyDictionary(keys);
    ASSERT_TRUE(loader.parseModelFile(reinterpret_cast<const unsigned char*>(files.attributes.data()),
                                      files.attributes.size(), ZqModelLoader::kAttributesFile))
        << loader.errorText();
    ASSERT_TRUE(loader.parseModelFile(reinterpret_cast<const unsigned char*>(files.connections.data()),
                                      files.connections.size(), ZqModelLoader::kConnectionsFile))
        << loader.errorText();
}

// Answers the models' questions as a test sets them: a fresh game until then.
struct TestAnswers final : ZqProgressQuestions, ZqNavigationQuestions {
    bool adsAreRemoved = false;
    int selected = 0;
    int destination = 0;
    std::vector<int> unlocked;
    std::vector<std::pair<std::string, bool>> purchased;

    bool adsRemoved() const override { return adsAreRemoved; }
    int selectedCharacter() const override { return selected; }
    void unlockCharacter(int index) override { unlocked.push_back(index); }
    void setPurchasedItemFlag(const std::string& item, bool flag) override { purchased.emplace_back(item, flag); }
    int sceneDestination() const override { return destination; }
    int nextDestination(int) const override { return 0; }
};

inline TestAnswers& testAnswers()
{
    static TestAnswers answers;
    return answers;
}

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZqModelController::shared()->reset();
        testAnswers() = TestAnswers();
        zqInstallProgressQuestions(&testAnswers());
        zqInstallNavigationQuestions(&testAnswers());
        installKeysFor({});
    }
    void TearDown() override
    {
        ZqModelController::shared()->reset();
        zqInstallProgressQuestions(nullptr);
        zqInstallNavigationQuestions(nullptr);
        installKeyDictionary({});
    }

    ZqModelController& controller() { return *ZqModelController::shared(); }

    ZqModelLoader& loader() { return *ZqModelLoader::shared(); }
};

} // namespace scene_test
