#pragma once

// Test support for the attribute suites: an owner that counts notifications and a resolver
// over such owners (the suites link the attributes library alone, without models), the
// key dictionary the suites share, and a trip through real MessagePack bytes.
#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "attributes/ZqBaseAttribute.h"
#include "cocos2d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Owns its attributes as a model does: deletes them when it goes.
class CountingOwner : public ZqAttributeOwner {
public:
    explicit CountingOwner(unsigned id = 1) : m_id(id) {}
    CountingOwner(const CountingOwner&) = delete;
    CountingOwner& operator=(const CountingOwner&) = delete;
    ~CountingOwner()
    {
        ZqAttributeList attributes = std::move(m_attributes);
        for (ZqBaseAttribute* attribute : attributes)
            forgetOwner(*attribute);
        for (ZqBaseAttribute* attribute : attributes)
            delete attribute;
    }

    unsigned id() const override { return m_id; }
    void setId(unsigned id) { m_id = id; }
    const ZqAttributeList& attributes() const override { return m_attributes; }
    void addAttribute(ZqBaseAttribute* attribute, int index = -1) override
    {
        if (std::find(m_attributes.begin(), m_attributes.end(), attribute) != m_attributes.end())
            return;
        if (index >= 0 && static_cast<std::size_t>(index) < m_attributes.size())
            m_attributes.insert(m_attributes.begin() + index, attribute);
        else
            m_attributes.push_back(attribute);
        attribute->setOwner(this);
    }
    void removeAttribute(ZqBaseAttribute* attribute) override
    {
        auto it = std::find(m_attributes.begin(), m_attributes.end(), attribute);
        if (it != m_attributes.end())
            m_attributes.erase(it);
    }
    void attributeChanged(ZqBaseAttribute*, int kind) override
    {
        ++notifications[kind];
        if (kind == ZqBaseAttribute::kValueChanged)
            ++valueChanges;
    }
    void attributeRenamed(ZqBaseAttribute*) override { ++renames; }
    int indexOfAttribute(const ZqBaseAttribute* attribute) const
    {
        auto it = std::find(m_attributes.begin(), m_attributes.end(), attribute);
        return it == m_attributes.end() ? -1 : static_cast<int>(it - m_attributes.begin());
    }
    ZqBaseAttribute* findAttribute(const std::string& name) const
    {
        for (ZqBaseAttribute* attribute : m_attributes) {
            if (attribute->name() == name)
                return attribute;
        }
        return nullptr;
    }

    int valueChanges = 0;
    int renames = 0;
    std::map<int, int> notifications;

private:
    unsigned m_id;
    ZqAttributeList m_attributes;
};

// Finds the owners added to it; installed while it lives.
class TestResolver : public ZqAttributeOwnerResolver {
public:
    TestResolver() { zqSetAttributeOwnerResolver(this); }
    ~TestResolver() { zqSetAttributeOwnerResolver(nullptr); }
    TestResolver(const TestResolver&) = delete;
    TestResolver& operator=(const TestResolver&) = delete;

    void add(ZqAttributeOwner* owner) { m_owners[owner->id()] = owner; }
    ZqAttributeOwner* ownerById(unsigned id) const override
    {
        auto it = m_owners.find(id);
        return it == m_owners.end() ? nullptr : it->second;
    }

private:
    std::map<unsigned, ZqAttributeOwner*> m_owners;
};

inline const KeyCodeTable& testKeyTable()
{
    static const KeyCodeTable table = [] {
        KeyCodeTable codes = fixedKeyCodeTable();
        codes.insert({
            {"Name", 1},       {"variableValue", 2}, {"isEmpty", 3},  {"animations", 4},
            {"state", 5},      {"animation", 6},   {"points", 7},     {"preset", 8},
            {"enum", 9},       {"text", 11},       {"list", 12},      {"nested", 13},
            {"numbers", 14},   {"words", 15},      {"pair", 16},      {"four", 17},
            {"connectedModelId", 18}, {"attributeName", 19},
        });
        return codes;
    }();
    return table;
}

// Engine objects autoreleased inside a test are released when it ends.
struct ScopedPool {
    ScopedPool() { cocos2d::CCPoolManager::sharedPoolManager()->push(); }
    ~ScopedPool() { cocos2d::CCPoolManager::sharedPoolManager()->pop(); }
};

// Installs the shared test dictionary and gives a fresh owner; undoes both after.
class AttributeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        installKeyDictionary(testKeyTable());
        owner = std::make_unique<CountingOwner>();
    }
    void TearDown() override
    {
        owner.reset();
        cocos2d::CCPoolManager::sharedPoolManager()->finalize();
        installKeyDictionary({});
    }

    std::unique_ptr<CountingOwner> owner;
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
