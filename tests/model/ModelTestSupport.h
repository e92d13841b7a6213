#pragma once

// Test models and helpers shared by the model tests.
#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributeValue.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqModelController.h"
#include "model/ZqModelIdentity.h"

#include <gtest/gtest.h>

// A model whose attributes come from a table.
#define ZQ_TABLE_MODEL_ATTRIBUTES(A, V)                                   \
    A(ZqAttributeFloat,  m_speed,   "Speed",   2.5f,  0.0f, 10.0f)        \
    A(ZqAttributeInt,    m_lives,   "Lives",   50,    1,    9)            \
    V(ZqAttributeBool,   m_active,  "Active",  true)                      \
    V(ZqAttributeString, m_title,   "Title",   "Untitled")

class TableModel : public ZqModel {
public:
    explicit TableModel(const std::string& name) : ZqModel(name) { ZQ_ATTRIBUTE_CREATE(ZQ_TABLE_MODEL_ATTRIBUTES) }
    TableModel(const TableModel& source) : ZqModel(source) { ZQ_ATTRIBUTE_REBIND(ZQ_TABLE_MODEL_ATTRIBUTES) }
    ZQ_MODEL_IDENTITY(TableModel, ZqModel)

    ZQ_ATTRIBUTE_MEMBERS(ZQ_TABLE_MODEL_ATTRIBUTES)
};

// A small class tree: a generated base sits between TableChild and its identity parent.
class TableBaseChild : public TableModel {
public:
    using TableModel::TableModel;
};

class TableChild : public TableBaseChild {
public:
    explicit TableChild(const std::string& name) : TableBaseChild(name) {}
    TableChild(const TableChild& source) : TableBaseChild(source) {}
    ZQ_MODEL_IDENTITY(TableChild, TableModel)
};

// Counts notifications it receives.
class CountingObserver : public ZqModelObserver {
public:
    void modelChanged(const std::shared_ptr<ZqModel>&) override { ++changes; }
    void attributeChanged(ZqBaseAttribute*, int) override { ++attributeChanges; }
    void childAdded(const std::shared_ptr<ZqModel>&, const std::shared_ptr<ZqModel>&) override { ++added; }
    void childRemoved(const std::shared_ptr<ZqModel>&, const std::shared_ptr<ZqModel>&) override { ++removed; }
    void childrenCleared(const std::shared_ptr<ZqModel>&) override { ++cleared; }

    int changes = 0, attributeChanges = 0, added = 0, removed = 0, cleared = 0;
};

// A fresh controller state and a dictionary holding every key the tests write.
class ModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZqModelController::shared()->reset();
        KeyCodeTable table = fixedKeyCodeTable();
        table.insert({{"children", 1}, {"variableValue", 2}, {"isEmpty", 3}, {"connectedModelId", 4},
                      {"attributeName", 5}, {"Name", 6}, {"Speed", 7}, {"Lives", 8}, {"Active", 9}, {"Title", 11},
                      {"Port", 12}});
        installKeyDictionary(table);
    }
    void TearDown() override { ZqModelController::shared()->reset(); }

    ZqModelController& controller() { return *ZqModelController::shared(); }
};

// Packs the map with msgpack-c, unpacks the bytes and reads them back as a map.
inline MessagePackMap throughBytes(const MessagePackMap& map, msgpack::object_handle& keep)
{
    msgpack::sbuffer buffer;
    msgpack::pack(buffer, map.toObject());
    keep = msgpack::unpack(buffer.data(), buffer.size());
    return MessagePackMap::fromObject(keep.get());
}
