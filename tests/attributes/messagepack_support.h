#pragma once

// Test support for the attribute suites: a model that counts value notifications, the
// key dictionary the suites share, and a trip through real MessagePack bytes.
#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "model/ZqModelController.h"
#include "model/ZqModelIdentity.h"
#include "cocos2d.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class CountingModel : public ZqModel {
public:
    explicit CountingModel(const std::string& name = "counting") : ZqModel(name) {}
    ZQ_MODEL_IDENTITY(CountingModel, ZqModel)

    void attributeChanged(ZqBaseAttribute* attribute, int kind) override
    {
        if (kind == ZqBaseAttribute::kValueChanged)
            ++valueChanges;
        ZqModel::attributeChanged(attribute, kind);
    }

    int valueChanges = 0;
};

inline const KeyCodeTable& testKeyTable()
{
    static const KeyCodeTable table = {
        {"value", 10},     {"Class Name", 33}, {"id", 42},        {"User ID", 50},
        {"Name", 1},       {"variableValue", 2}, {"isEmpty", 3},  {"animations", 4},
        {"state", 5},      {"animation", 6},   {"points", 7},     {"preset", 8},
        {"enum", 9},       {"text", 11},       {"list", 12},      {"nested", 13},
        {"numbers", 14},   {"words", 15},      {"pair", 16},      {"four", 17},
        {"connectedModelId", 18}, {"attributeName", 19},
    };
    return table;
}

// Engine objects autoreleased inside a test are released when it ends.
struct ScopedPool {
    ScopedPool() { cocos2d::CCPoolManager::sharedPoolManager()->push(); }
    ~ScopedPool() { cocos2d::CCPoolManager::sharedPoolManager()->pop(); }
};

// Installs the shared test dictionary and gives a fresh controller; undoes both after.
class AttributeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZqModelController::shared()->reset();
        installKeyDictionary(testKeyTable());
        model = zqCreateModel<CountingModel>();
    }
    void TearDown() override
    {
        model.reset();
        ZqModelController::shared()->reset();
        installKeyDictionary({});
    }

    std::shared_ptr<CountingModel> model;
};

// Packs a map to bytes and reads the bytes back; handle keeps the objects.
inline MessagePackMap throughBytes(const MessagePackMap& map, msgpack::object_handle& handle)
{
    msgpack::sbuffer buffer;
    packObject(buffer, map.toObject());
    std::size_t offset = 0;
    handle = unpackBounded(buffer.data(), buffer.size(), offset);
    EXPECT_EQ(offset, buffer.size());
    return MessagePackMap::fromObject(handle.get());
}

// The object stored under a name, or a NIL object when absent.
inline msgpack::object entry(const MessagePackMap& map, const std::string& name)
{
    const msgpack::object* found = map.find(keyCode(name));
    return found ? *found : msgpack::object();
}

// The nested map that an attribute writes, after a trip through bytes.
template <class Attribute>
MessagePackMap packedThroughBytes(const Attribute& attribute, msgpack::zone& zone, msgpack::object_handle& handle)
{
    MessagePackMap map(&zone);
    attribute.packAttributes(map);
    return throughBytes(map, handle);
}
