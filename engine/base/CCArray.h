#pragma once

#include "base/CCObject.h"

#include <algorithm>
#include <vector>

namespace cocos2d {

// Returned by indexOfObject for an object that is not in the array.
constexpr unsigned int CC_INVALID_INDEX = 0xffffffffu;

// An ordered array of engine objects. It holds one reference to each element for
// each time the element was added: adding retains, removing releases (unless the
// caller asks otherwise with bReleaseObj), and the array releases all it holds when
// it dies. Null objects are never stored. Indices past the end are ignored by the
// removing and exchanging operations and answer nullptr from the reading ones.
class CCArray : public CCObject {
public:
    // Autoreleased, empty.
    static CCArray* create();
    static CCArray* createWithCapacity(unsigned int capacity);
    // Autoreleased copy holding the same elements (each retained once more); null gives an empty array.
    static CCArray* createWithArray(CCArray* other);

    CCArray() = default;
    ~CCArray() override;

    unsigned int count() const { return static_cast<unsigned int>(m_data.size()); }
    unsigned int capacity() const { return static_cast<unsigned int>(m_data.capacity()); }
    CCObject* objectAtIndex(unsigned int index) const;
    CCObject* lastObject() const;
    bool containsObject(CCObject* object) const;
    unsigned int indexOfObject(CCObject* object) const;

    void addObject(CCObject* object);
    void addObjectsFromArray(CCArray* other);
    // An index past the end appends.
    void insertObject(CCObject* object, unsigned int index);
    // Removes the first occurrence.
    void removeObject(CCObject* object, bool bReleaseObj = true);
    void removeObjectAtIndex(unsigned int index, bool bReleaseObj = true);
    void removeLastObject(bool bReleaseObj = true);
    void removeAllObjects();
    void exchangeObjectAtIndex(unsigned int index1, unsigned int index2);
    void reverseObjects();

    // Sorts with cmp(CCObject* a, CCObject* b) telling whether a goes before b. A merge
    // sort: unlike std::sort it stays in bounds even when cmp is not a strict weak
    // ordering (NaN coordinates, for example); equal elements keep their order.
    template <class Cmp>
    void sortObjects(Cmp cmp)
    {
        std::stable_sort(m_data.begin(), m_data.end(), cmp);
    }

    // Range-for over the elements. The array must not change during such a loop; use
    // CCARRAY_FOREACH when the loop body may add or remove elements.
    std::vector<CCObject*>::const_iterator begin() const { return m_data.begin(); }
    std::vector<CCObject*>::const_iterator end() const { return m_data.end(); }
    const std::vector<CCObject*>& data() const { return m_data; }

private:
    std::vector<CCObject*> m_data;
};

// Walks the array by index, re-reading the count each step, so a body that adds or
// removes elements never reads out of bounds (removing the current element skips the
// next one). object must be a CCObject* variable declared by the caller.
#define CCARRAY_FOREACH(__array__, __object__)                                                         \
    for (unsigned int ccArrayForeachIndex = 0;                                                       \
         (__array__) && ccArrayForeachIndex < (__array__)->count()                                    \
         && (((__object__) = (__array__)->objectAtIndex(ccArrayForeachIndex)), true);                 \
         ++ccArrayForeachIndex)

} // namespace cocos2d
