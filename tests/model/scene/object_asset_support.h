#pragma once

// Helpers of the object, asset and component tests: a readable form of every attribute,
// the key dictionary of a set of models, the bytes of their model files and a round trip
// through them, and the check of a class's attribute table.
#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributePoint.h"
#include "attributes/ZqAttributeValue.h"
#include "model/ZqAttributeModel.h"
#include "model/ZqAttributeSprite.h"
#include "model/ZqModelController.h"
#include "model/loading/ZqModelLoader.h"
#include "model/scene/ZqModelMedia.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace object_asset_test {

using ModelList = std::vector<std::shared_ptr<ZqModel>>;

// The value of an attribute as text: numbers %g, flags true/false, texts quoted, points
// "(x,y)", references "model <id>" or "empty". An empty mark shows as " [empty]".
inline std::string attributeValueText(const ZqBaseAttribute& attribute)
{
    char text[64];
    if (auto* number = dynamic_cast<const ZqAttributeFloat*>(&attribute)) {
        std::snprintf(text, sizeof text, "%g%s", number->value(), number->isEmpty() ? " [empty]" : "");
        return text;
    }
    if (auto* number = dynamic_cast<const ZqAttributeInt*>(&attribute))
        return std::to_string(number->value());
    if (auto* flag = dynamic_cast<const ZqAttributeBool*>(&attribute))
        return flag->value() ? "true" : "false";
    if (auto* point = dynamic_cast<const ZqAttributePoint*>(&attribute)) {
        std::snprintf(text, sizeof text, "(%g,%g)", point->value().x, point->value().y);
        return text;
    }
    if (auto* string = dynamic_cast<const ZqAttributeString*>(&attribute))
        return "\"" + string->value() + "\"";
    if (auto* reference = dynamic_cast<const ZqAttributeModelReference*>(&attribute))
        return reference->model() ? "model " + std::to_string(reference->model()->id()) : "empty";
    if (auto* sprite = dynamic_cast<const ZqAttributeSprite*>(&attribute))
        return sprite->value() ? "model " + std::to_string(sprite->value()->id()) : "empty";
    return "?";
}

// Installs a key dictionary holding every key the models write, with the fixed codes.
inline void installKeysOf(const ModelList& models)
{
    keyNameSet().clear();
    for (const std::shared_ptr<ZqModel>& model : models)
        model->collectKeys();
    for (const char* name : {"value", "children", "connectedModelId", "attributeName", "isEmpty", "variableValue"})
        keyNameSet().insert(name);
    KeyCodeTable table = fixedKeyCodeTable();
    int32_t code = 100;
    for (const std::string& name : keyNameSet()) {
        if (!table.count(name))
            table[name] = code++;
    }
    installKeyDictionary(table);
}

// The attributes file or connections file of the models.
inline std::vector<unsigned char> modelFileOf(const ModelList& models, ZqModelLoader::FileKind kind)
{
    msgpack::sbuffer buffer;
    for (const std::shared_ptr<ZqModel>& model : models) {
        msgpack::zone zone;
        MessagePackMap map(&zone);
        if (kind == ZqModelLoader::kAttributesFile)
            model->packAttributes(map);
        else
            model->packConnections(map);
        packObject(buffer, map.toObject());
    }
    return std::vector<unsigned char>(buffer.data(), buffer.data() + buffer.size());
}

// Class, every attribute's value text and the children's ids of a model.
inline std::vector<std::string> attributeLines(const ZqModel& model)
{
    std::vector<std::string> lines{model.className()};
    for (const ZqBaseAttribute* attribute : model.attributes())
        lines.push_back(std::string(attribute->name()) + " = " + attributeValueText(*attribute));
    for (const std::shared_ptr<ZqModel>& child : model.children())
        lines.push_back("child " + std::to_string(child->id()));
    return lines;
}

using ModelLinesOf = std::vector<std::string> (*)(const ZqModel&);
using ModelSnapshot = std::map<unsigned, std::vector<std::string>>;

inline ModelSnapshot snapshotOf(const ModelList& models, ModelLinesOf linesOf)
{
    ModelSnapshot result;
    for (const std::shared_ptr<ZqModel>& model : models)
        result[model->id()] = linesOf(*model);
    return result;
}

// Models written as their two model files, with their text before the round trip.
struct SavedModels {
    std::vector<unsigned char> attributes;
    std::vector<unsigned char> connections;
    ModelSnapshot before;
};

// Installs the models' key dictionary and writes their files.
inline SavedModels saveModels(const ModelList& models, ModelLinesOf linesOf)
{
    installKeysOf(models);
    return {modelFileOf(models, ZqModelLoader::kAttributesFile), modelFileOf(models, ZqModelLoader::kConnectionsFile),
            snapshotOf(models, linesOf)};
}

// Resets the controller, reads the saved files back and expects every saved model under
// its id with the same text. The caller drops its own references first.
inline void expectModelsReload(const SavedModels& saved, ModelLinesOf linesOf)
{
    ZqModelController& controller = *ZqModelController::shared();
    ZqModelLoader& loader = *ZqModelLoader::shared();
    controller.reset();
    ASSERT_TRUE(loader.parseModelFile(saved.attributes.data(), saved.attributes.size(), ZqModelLoader::kAttributesFile))
        << loader.errorText();
    ASSERT_TRUE(
        loader.parseModelFile(saved.connections.data(), saved.connections.size(), ZqModelLoader::kConnectionsFile))
        << loader.errorText();

    ModelList loaded;
    for (const auto& [id, lines] : saved.before) {
        std::shared_ptr<ZqModel> model = controller.modelById(id);
        ASSERT_TRUE(model) << "model " << id << " " << lines.front();
        loaded.push_back(model);
    }
    EXPECT_EQ(snapshotOf(loaded, linesOf), saved.before);
}

// One expected attribute of a class table: name, attribute class and value text.
struct Row {
    std::string name;
    std::string type;
    std::string value;
};

using ValueTextOf = std::string (*)(const ZqBaseAttribute&);

// "Name" with the default name, the attributes of a fresh model of the parent class (none
// without one) with the given changes of value, then the class's own rows.
inline std::vector<Row> expectedTable(const char* defaultName, const char* parent, const std::vector<Row>& own,
                                      ValueTextOf valueOf, const std::map<std::string, std::string>& changed = {})
{
    std::vector<Row> table{{"Name", "ZqAttributeString", "\"" + std::string(defaultName) + "\""}};
    if (parent) {
        const std::shared_ptr<ZqModel> model = ZqModelController::shared()->registry().create(parent);
        const ZqAttributeList& attributes = model->attributes();
        for (std::size_t i = 1; i < attributes.size(); ++i) {
            Row row{std::string(attributes[i]->name()), attributes[i]->className(), valueOf(*attributes[i])};
            if (auto change = changed.find(row.name); change != changed.end())
                row.value = change->second;
            table.push_back(row);
        }
    }
    table.insert(table.end(), own.begin(), own.end());
    return table;
}

// The attributes hold the table's rows, in order.
inline void expectTable(const ZqAttributeList& attributes, const std::vector<Row>& table,
                        ValueTextOf valueOf)
{
    ASSERT_EQ(attributes.size(), table.size());
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        SCOPED_TRACE(table[i].name);
        EXPECT_EQ(attributes[i]->name(), table[i].name);
        EXPECT_STREQ(attributes[i]->className(), table[i].type.c_str());
        EXPECT_EQ(valueOf(*attributes[i]), table[i].value);
    }
}

// A fresh controller for each test.
class SceneModelTest : public ::testing::Test {
protected:
    void SetUp() override { ZqModelController::shared()->reset(); }
    void TearDown() override { ZqModelController::shared()->reset(); }

    ZqModelController& controller() { return *ZqModelController::shared(); }

    ZqModelLoader& loader() { return *ZqModelLoader::shared(); }
};

} // namespace object_asset_test
