#include "base/CCArray.h"
#include "base/CCAutoreleasePool.h"
#include "base/CCDictionary.h"
#include "base/CCString.h"

#include "Probe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace cocos2d;
using basetest::Probe;

namespace {

// Every test runs in its own pool and must leave no engine object behind.
class ContainersTest : public testing::Test {
protected:
    void SetUp() override
    {
        CCPoolManager::sharedPoolManager()->push();
        liveAtStart = CCObject::liveObjectCount();
    }
    void TearDown() override
    {
        CCPoolManager::sharedPoolManager()->pop();
        EXPECT_EQ(CCObject::liveObjectCount(), liveAtStart);
    }

    long liveAtStart = 0;
    int deaths = 0;
};

std::vector<std::string> keysOf(CCDictionary* dictionary)
{
    std::vector<std::string> keys;
    CCObject* key = nullptr;
    CCARRAY_FOREACH(dictionary->allKeys(), key)
        keys.push_back(static_cast<CCString*>(key)->getCString());
    return keys;
}

TEST_F(ContainersTest, ArrayRetainsWhatItHoldsAndReleasesOnRemoval)
{
    CCArray* array = CCArray::create();
    Probe* probe = new Probe(&deaths);
    array->addObject(probe);
    array->addObject(probe);
    array->addObject(nullptr);
    EXPECT_EQ(array->count(), 2u);
    EXPECT_EQ(probe->retainCount(), 3u);

    probe->release();
    array->removeObject(probe);
    EXPECT_EQ(array->count(), 1u);
    EXPECT_EQ(deaths, 0);
    array->removeObject(probe, false);
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(probe->retainCount(), 1u);
    probe->release();
    EXPECT_EQ(deaths, 1);

    // The array's death releases its elements.
    CCArray* owned = new CCArray();
    owned->addObject((new Probe(&deaths))->autorelease());
    owned->release();
    CCPoolManager::sharedPoolManager()->getCurrentPool()->clear();
    EXPECT_EQ(deaths, 2);
}

TEST_F(ContainersTest, ArrayIsConsistentWhenARemovedElementDies)
{
    CCArray* array = CCArray::create();
    array->addObject(CCString::create("first"));
    unsigned int countSeen = 0;
    CCObject* slotSeen = array;
    Probe* probe = new Probe(&deaths, [&] {
        countSeen = array->count();
        slotSeen = array->objectAtIndex(1);
    });
    array->addObject(probe);
    probe->release();
    array->removeObjectAtIndex(1);
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(countSeen, 1u);
    EXPECT_EQ(slotSeen, nullptr);
}

TEST_F(ContainersTest, ArrayIndicesAndBounds)
{
    CCArray* array = CCArray::createWithCapacity(8);
    EXPECT_GE(array->capacity(), 8u);
    CCString* a = CCString::create("a");
    CCString* b = CCString::create("b");
    CCString* c = CCString::create("c");
    array->addObject(a);
    array->insertObject(c, 100);
    array->insertObject(b, 1);
    EXPECT_EQ(array->objectAtIndex(1), b);
    EXPECT_EQ(array->lastObject(), c);
    EXPECT_EQ(array->objectAtIndex(3), nullptr);
    EXPECT_EQ(array->indexOfObject(CCString::create("a")), CC_INVALID_INDEX);
    array->removeObjectAtIndex(7);
    array->exchangeObjectAtIndex(0, 9);
    EXPECT_EQ(array->count(), 3u);

    array->reverseObjects();
    EXPECT_EQ(array->objectAtIndex(0), c);
    array->exchangeObjectAtIndex(0, 2);
    EXPECT_EQ(array->objectAtIndex(0), a);

    array->addObjectsFromArray(array);
    EXPECT_EQ(array->count(), 6u);
    EXPECT_EQ(a->retainCount(), 3u);
    CCArray* copy = CCArray::createWithArray(array);
    EXPECT_EQ(copy->count(), 6u);
    array->removeLastObject();
    array->removeAllObjects();
    EXPECT_EQ(array->count(), 0u);
    EXPECT_EQ(array->lastObject(), nullptr);
}

TEST_F(ContainersTest, ArrayForeachSurvivesRemovalInItsBody)
{
    CCArray* array = CCArray::create();
    for (int i = 0; i < 6; ++i)
        array->addObject(CCString::createWithFormat("%d", i));
    std::string seen;
    CCObject* object = nullptr;
    CCARRAY_FOREACH(array, object)
    {
        seen += static_cast<CCString*>(object)->getCString();
        array->removeObject(object);
    }
    // Removing the current element skips the next one, but never reads past the end.
    EXPECT_EQ(seen, "024");
    EXPECT_EQ(array->count(), 3u);

    CCArray* none = nullptr;
    CCARRAY_FOREACH(none, object)
        ADD_FAILURE();
}

TEST_F(ContainersTest, ArraySortStaysInBoundsWithAnInconsistentComparison)
{
    CCArray* array = CCArray::create();
    for (int i = 0; i < 200; ++i)
        array->addObject(CCString::createWithFormat("%d", i % 7));
    // Not a strict weak ordering (as NaN coordinates give): must not read out of bounds.
    array->sortObjects([](CCObject*, CCObject*) { return true; });
    EXPECT_EQ(array->count(), 200u);

    array->sortObjects([](CCObject* a, CCObject* b) {
        return static_cast<CCString*>(a)->intValue() > static_cast<CCString*>(b)->intValue();
    });
    EXPECT_EQ(static_cast<CCString*>(array->objectAtIndex(0))->intValue(), 6);
    EXPECT_EQ(static_cast<CCString*>(array->lastObject())->intValue(), 0);
}

TEST_F(ContainersTest, DictionaryKeepsInsertionOrderThroughReplaceAndRemove)
{
    CCDictionary* dictionary = CCDictionary::create();
    for (const char* key : {"zeta", "alpha", "mid", "beta"})
        dictionary->setObject(CCString::create(key), key);
    dictionary->setObject(CCString::create("again"), "alpha");
    dictionary->removeObjectForKey("mid");
    dictionary->removeObjectForKey("absent");
    dictionary->setObject(CCString::create("new"), "mid");

    EXPECT_EQ(keysOf(dictionary), (std::vector<std::string>{"zeta", "alpha", "beta", "mid"}));
    EXPECT_EQ(dictionary->valueForKey("alpha")->compare("again"), 0);

    std::vector<std::string> walked;
    CCDictElement* element = nullptr;
    CCDICT_FOREACH(dictionary, element)
    {
        walked.push_back(element->getStrKey());
        if (element->getStrKey() == "alpha")
            dictionary->removeObjectForKey(element->getStrKey());
    }
    EXPECT_EQ(walked, (std::vector<std::string>{"zeta", "alpha", "beta", "mid"}));
    EXPECT_EQ(keysOf(dictionary), (std::vector<std::string>{"zeta", "beta", "mid"}));

    CCDictionary* copy = CCDictionary::createWithDictionary(dictionary);
    dictionary->removeAllObjects();
    EXPECT_EQ(dictionary->count(), 0u);
    EXPECT_NE(dictionary->allKeys(), nullptr);
    EXPECT_EQ(keysOf(copy), (std::vector<std::string>{"zeta", "beta", "mid"}));

    // Many keys: order after removals, and lookups still find every survivor.
    CCDictionary* big = CCDictionary::create();
    for (int i = 0; i < 1000; ++i)
        big->setObject(CCString::createWithFormat("%d", i), std::to_string(999 - i));
    for (int i = 0; i < 1000; i += 2)
        big->removeObjectForKey(std::to_string(i));
    const std::vector<std::string> keys = keysOf(big);
    ASSERT_EQ(keys.size(), 500u);
    EXPECT_EQ(keys.front(), "999");
    EXPECT_EQ(keys.back(), "1");
    EXPECT_EQ(big->valueForKey("1")->intValue(), 998);
}

TEST_F(ContainersTest, DictionaryRetainsOnSetAndReleasesOnReplaceAndRemove)
{
    CCDictionary* dictionary = CCDictionary::create();
    Probe* first = new Probe(&deaths);
    dictionary->setObject(first, "k");
    first->release();
    EXPECT_EQ(first->retainCount(), 1u);

    // Setting the object it already holds must not free it on the way.
    dictionary->setObject(first, "k");
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(first->retainCount(), 1u);

    Probe* second = new Probe(&deaths);
    dictionary->setObject(second, "k");
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(second->retainCount(), 2u);
    second->release();

    dictionary->setObject(nullptr, "k");
    EXPECT_EQ(dictionary->objectForKey("k"), second);

    dictionary->removeObjectForKey("k");
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(dictionary->objectForKey("k"), nullptr);
}

TEST_F(ContainersTest, DictionaryValueForAbsentKeyIsAnEmptyString)
{
    CCDictionary* dictionary = CCDictionary::create();
    dictionary->setObject(CCArray::create(), "array");
    for (const char* key : {"absent", "array"}) {
        const CCString* value = dictionary->valueForKey(key);
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->length(), 0u);
        EXPECT_EQ(value->floatValue(), 0.0f);
        EXPECT_FALSE(value->boolValue());
    }
}

} // namespace
