#pragma once

// A small generated game for the loading tests: the general settings, labels and screens
// (the classes the loading screen's preload reads), two linked flow-graph nodes, their
// key file and model files, written as a data directory or as an encrypted archive.
#include "ModelTestSupport.h"
#include "archive_test_util.h"
#include "scene/object_asset_support.h"

#include "model/loading/ZqGameSecrets.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/ZqModelRegistry.h"
#include "model/loading/ZqModelLoader.h"
#include "model/scene/ZqModelLabel.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqNode.h"
#include "tools/ZqArchiveWriter.h"
#include "cocos2d.h"

#include <ZqLog.h>

#include <map>
#include <sstream>

namespace loading_test {

using archive_test::Bytes;

// The key file's lines: the fixed names at their codes, the others around them.
inline std::string keyText(const std::set<std::string>& names)
{
    std::map<std::size_t, std::string> fixed;
    for (const FixedKeyCode& key : kFixedKeyCodes)
        fixed.emplace(key.code, key.name);
    std::vector<std::string> others;
    for (const std::string& name : names) {
        if (fixedKeyCode(name) < 0)
            others.push_back(name);
    }
    std::string text;
    std::size_t next = 0;
    for (std::size_t line = 0; line < std::max<std::size_t>(kHighestFixedKeyCode + 1, others.size() + fixed.size());
         ++line) {
        auto it = fixed.find(line);
        text += it != fixed.end() ? it->second : next < others.size() ? others[next++] : "~k" + std::to_string(line);
        text += "\n\n"; // blank lines get no code
    }
    return text;
}

inline KeyCodeTable keyTable(const std::string& text)
{
    const std::string scrambled = scrambleKeyFile(text, {}); // undone by readKeyFile
    return ZqModelLoader::readKeyFile(reinterpret_cast<const unsigned char*>(scrambled.data()), scrambled.size(), {});
}

// The maps of the models packed one after the other, as one model file.
using object_asset_test::modelFileOf;

using GameFiles = std::vector<std::pair<std::string, Bytes>>;

constexpr const char* kUserId = "user-7";

// The game: general settings (id 1, "Last ID" 5, below the ids used), labels 100 and
// 101 in file 0 and 102 in file 1, screen 200 (children 100, 101, its port fed by 100's)
// in file 0 and screen 201 (child 102) in file 1. Keys.pack comes first. Leaves the
// controller reset and the key dictionary empty.
inline GameFiles makeGame()
{
    ZqModelController& controller = *ZqModelController::shared();
    controller.reset();
    auto settings = ZqModelGeneralSettings::shared();
    settings->setId(1);
    static_cast<ZqAttributeString*>(settings->findAttribute("User ID"))->setValue(kUserId);
    static_cast<ZqAttributeString*>(settings->findAttribute("Application Name"))->setValue("Demo Game");
    static_cast<ZqAttributeUInt*>(settings->findAttribute("Last ID"))->setValue(5);
    auto* ios = cocos2d::CCDictionary::create();
    ios->setObject(cocos2d::CCString::create("unit-1"), "adUnit");
    settings->platformSpecificValues()->setObject(ios, "ios");

    std::vector<std::shared_ptr<ZqModel>> labels;
    for (unsigned i = 0; i < 3; ++i) {
        auto label = ZqModelObjectLabel::create();
        label->setId(100 + i);
        label->m_tracking->setValue(10.0f + i);
        label->m_text->setValue("label " + std::to_string(i));
        controller.addModel(label);
        labels.push_back(label);
    }
    std::vector<std::shared_ptr<ZqModel>> screens;
    for (unsigned i = 0; i < 2; ++i) {
        auto screen = ZqModelScreen::create();
        screen->setId(200 + i);
        screen->m_key->setValue("screen " + std::to_string(i));
        controller.addModel(screen);
        screens.push_back(screen);
    }
    screens[0]->addChild(labels[0]);
    screens[0]->addChild(labels[1]);
    screens[1]->addChild(labels[2]);
    auto world = ZqNodeScene::create();
    world->setId(300);
    controller.addModel(world);
    auto ui = ZqNodeUI::create();
    ui->setId(301);
    controller.addModel(ui);
    world->findAttribute("UI")->connect(ui->findAttribute("Load"));

    keyNameSet().clear();
    for (const auto& [type, models] : controller.modelsByType()) {
        for (const auto& model : models)
            model->collectKeys();
    }
    for (const char* name : {"value", "children", "connectedModelId", "attributeName", "variableValue", "isEmpty", "enum"})
        keyNameSet().insert(name);
    const std::string keys = keyText(keyNameSet());
    installKeyDictionary(keyTable(keys));

    using enum ZqModelLoader::FileKind;
    GameFiles files;
    files.emplace_back("Keys.pack", archive_test::bytesOf(scrambleKeyFile(keys, kUserId)));
    files.emplace_back("ZqModelGeneralSettings.0.attributes.pack", modelFileOf({settings}, kAttributesFile));
    files.emplace_back("ZqModelObjectLabel.0.attributes.pack", modelFileOf({labels[0], labels[1]}, kAttributesFile));
    files.emplace_back("ZqModelObjectLabel.1.attributes.pack", modelFileOf({labels[2]}, kAttributesFile));
    files.emplace_back("ZqModelScreen.0.attributes.pack", modelFileOf({screens[0]}, kAttributesFile));
    files.emplace_back("ZqModelScreen.1.attributes.pack", modelFileOf({screens[1]}, kAttributesFile));
    files.emplace_back("ZqModelScreen.0.connections.pack", modelFileOf({screens[0]}, kConnectionsFile));
    files.emplace_back("ZqModelScreen.1.connections.pack", modelFileOf({screens[1]}, kConnectionsFile));
    files.emplace_back("ZqNodeScene.0.attributes.pack", modelFileOf({world}, kAttributesFile));
    files.emplace_back("ZqNodeUI.0.attributes.pack", modelFileOf({ui}, kAttributesFile));
    files.emplace_back("ZqNodeScene.0.connections.pack", modelFileOf({world}, kConnectionsFile));
    // A node's map holds its links' count even when it links nothing: the writer always
    // writes its file.
    files.emplace_back("ZqNodeUI.0.connections.pack", modelFileOf({ui}, kConnectionsFile));
    controller.reset();
    installKeyDictionary({});
    return files;
}

inline void writeDirectory(const archive_test::TempDir& root, const GameFiles& files)
{
    for (const auto& [name, bytes] : files)
        archive_test::writeBytes(root.file("data/" + name), bytes);
}

inline Bytes makeArchive(const GameFiles& files, const std::string& password)
{
    ZqArchiveWriter writer(password);
    for (const auto& [name, bytes] : files)
        writer.addFile(name, bytes);
    return writer.archive();
}

inline const std::string& passwordText()
{
    static const std::string text(kZqArchivePasswordText);
    return text;
}

// One line per model: id, class, name, attribute values and links, child ids.
inline std::string describe(const ZqModel& model)
{
    std::ostringstream out;
    out << model.id() << ' ' << model.className() << " \"" << model.name() << '"';
    for (const ZqBaseAttribute* attribute : model.attributes()) {
        out << " [" << attribute->name();
        if (attribute->typeId() == ZqAttributeFloat::staticTypeId())
            out << '=' << static_cast<const ZqAttributeFloat*>(attribute)->value();
        else if (attribute->typeId() == ZqAttributeString::staticTypeId())
            out << "=\"" << static_cast<const ZqAttributeString*>(attribute)->value() << '"';
        else if (attribute->typeId() == ZqAttributeUInt::staticTypeId())
            out << '=' << static_cast<const ZqAttributeUInt*>(attribute)->value();
        if (const ZqBaseAttribute* source = attribute->connectedSource())
            out << " <- " << source->owner()->id() << ':' << source->name();
        out << ']';
    }
    out << " children:";
    for (const auto& child : model.children())
        out << ' ' << child->id();
    return out.str();
}

// Every registered model by id; the id entry and the type list must agree.
inline std::map<unsigned, std::string> snapshot()
{
    std::map<unsigned, std::string> models;
    for (const auto& [type, list] : ZqModelController::shared()->modelsByType()) {
        for (const auto& model : list) {
            EXPECT_EQ(ZqModelController::shared()->modelById(model->id()), model) << describe(*model);
            models[model->id()] = describe(*model);
        }
    }
    return models;
}

// Runs the steps of the current mode to the end; the step count, or -1 past limit steps.
// Progress must never go back nor above 100.
inline int runSteps(int limit = 1000)
{
    ZqModelLoader& loader = *ZqModelLoader::shared();
    int previous = loader.loadingProgress();
    for (int steps = 1; steps <= limit; ++steps) {
        const bool done
            = loader.isArchiveMode() ? loader.loadNextArchiveFile(passwordText()) : loader.loadNextPlainFile();
        EXPECT_GE(loader.loadingProgress(), previous);
        EXPECT_LE(loader.loadingProgress(), 100);
        previous = loader.loadingProgress();
        if (done)
            return steps;
    }
    return -1;
}

// A fresh controller reading from root (archive mode when root/data/data.pkg is there).
class LoadingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        game = makeGame();
        zqSetLogSink([this](const char* line) { log.emplace_back(line); });
    }
    void TearDown() override
    {
        zqSetLogSink({});
        ZqModelLoader::shared()->closeArchive();
        ZqModelController::shared()->reset();
        installKeyDictionary({});
        cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot("");
    }

    ZqModelController& controller() { return *ZqModelController::shared(); }

    ZqModelLoader& loader() { return *ZqModelLoader::shared(); }

    void useRoot(const archive_test::TempDir& root)
    {
        cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot(root.path().string());
        loader().closeArchive();
        controller().reset();
        loader().setArchiveMode(ZqModelLoader::archiveIsPresent("data/data.pkg"));
        log.clear();
    }

    bool logged(const std::string& text) const
    {
        for (const std::string& line : log) {
            if (line.find(text) != std::string::npos)
                return true;
        }
        return false;
    }

    GameFiles game;
    std::vector<std::string> log;
};

} // namespace loading_test
