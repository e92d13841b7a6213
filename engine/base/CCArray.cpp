#include "base/CCArray.h"

namespace cocos2d {

CCArray* CCArray::create()
{
    CCArray* array = new CCArray();
    array->autorelease();
    return array;
}

CCArray* CCArray::createWithCapacity(unsigned int capacity)
{
    CCArray* array = create();
    array->m_data.reserve(capacity);
    return array;
}

CCArray* CCArray::createWithArray(CCArray* other)
{
    CCArray* array = create();
    array->addObjectsFromArray(other);
    return array;
}

CCArray::~CCArray()
{
    removeAllObjects();
}

CCObject* CCArray::objectAtIndex(unsigned int index) const
{
    return index < m_data.size() ? m_data[index] : nullptr;
}

CCObject* CCArray::lastObject() const
{
    return m_data.empty() ? nullptr : m_data.back();
}

bool CCArray::containsObject(CCObject* object) const
{
    return indexOfObject(object) != CC_INVALID_INDEX;
}

unsigned int CCArray::indexOfObject(CCObject* object) const
{
    const auto it = std::find(m_data.begin(), m_data.end(), object);
    return it == m_data.end() ? CC_INVALID_INDEX : static_cast<unsigned int>(it - m_data.begin());
}

void CCArray::addObject(CCObject* object)
{
    if (!object)
        return;
    object->retain();
    m_data.push_back(object);
}

void CCArray::addObjectsFromArray(CCArray* other)
{
    if (!other)
        return;
    // Copy first: adding an array to itself must not walk a vector that is growing.
    const std::vector<CCObject*> objects = other->m_data;
    for (CCObject* object : objects)
        addObject(object);
}

void CCArray::insertObject(CCObject* object, unsigned int index)
{
    if (!object)
        return;
    object->retain();
    if (index >= m_data.size())
        m_data.push_back(object);
    else
        m_data.insert(m_data.begin() + index, object);
}

void CCArray::removeObject(CCObject* object, bool bReleaseObj)
{
    const unsigned int index = indexOfObject(object);
    if (index != CC_INVALID_INDEX)
        removeObjectAtIndex(index, bReleaseObj);
}

void CCArray::removeObjectAtIndex(unsigned int index, bool bReleaseObj)
{
    if (index >= m_data.size())
        return;
    CCObject* object = m_data[index];
    m_data.erase(m_data.begin() + index);
    // Released only once the array is consistent again: the object's destructor may
    // reach back into this array.
    if (bReleaseObj)
        object->release();
}

void CCArray::removeLastObject(bool bReleaseObj)
{
    if (!m_data.empty())
        removeObjectAtIndex(count() - 1, bReleaseObj);
}

void CCArray::removeAllObjects()
{
    std::vector<CCObject*> released;
    released.swap(m_data);
    for (CCObject* object : released)
        object->release();
}

void CCArray::exchangeObjectAtIndex(unsigned int index1, unsigned int index2)
{
    if (index1 < m_data.size() && index2 < m_data.size())
        std::swap(m_data[index1], m_data[index2]);
}

void CCArray::reverseObjects()
{
    std::reverse(m_data.begin(), m_data.end());
}

} // namespace cocos2d
