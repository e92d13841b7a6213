#pragma once

// Helpers of the object, asset and component tests: a readable form of every attribute,
// the key dictionary of a set of models, and the bytes of their model files.
#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributeModel.h"
#include "attributes/ZqAttributePoint.h"
#include "attributes/ZqAttributeSprite.h"
#include "attributes/ZqAttributeValue.h"
#include "model/ZqModelController.h"
#include "model/scene/ZqModelMedia.h"

#include <gtest/gtest.h>

#include <cstdio>
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
    KeyCodeTable table{{"value", 10}, {"Class Name", 33}, {"id", 42}, {"User ID", 50}};
    int32_t code = 100;
    for (const std::string& name : keyNameSet()) {
        if (!table.count(name))
            table[name] = code++;
    }
    installKeyDictionary(table);
}

// The attributes file (kind 0) or connections file (kind 1) of the models.
inline std::vector<unsigned char> modelFileOf(const ModelList& models, int kind)
{
    msgpack::sbuffer buffer;
    for (const std::shared_ptr<ZqModel>& model : models) {
        msgpack::zone zone;
        MessagePackMap map(&zone);
        if (kind == 0)
            model->packAttributes(map);
        else
            model->packConnections(map);
        packObject(buffer, map.toObject());
    }
    return std::vector<unsigned char>(buffer.data(), buffer.data() + buffer.size());
}

// A fresh controller for each test.
class SceneModelTest : public ::testing::Test {
protected:
    void SetUp() override { ZqModelController::shared()->reset(); }
    void TearDown() override { ZqModelController::shared()->reset(); }

    ZqModelController& controller() { return *ZqModelController::shared(); }
};

} // namespace object_asset_test
