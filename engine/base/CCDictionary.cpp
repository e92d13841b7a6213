#include "base/CCDictionary.h"

#include "base/CCArray.h"
#include "base/CCString.h"

#include <ZqLog.h>

#include <vector>

namespace cocos2d {

CCDictionary* CCDictionary::create()
{
    CCDictionary* dictionary = new CCDictionary();
    dictionary->autorelease();
    return dictionary;
}

CCDictionary* CCDictionary::createWithDictionary(CCDictionary* other)
{
    CCDictionary* dictionary = create();
    if (other) {
        for (const CCDictElement* element = other->m_first; element; element = element->m_next)
            dictionary->setObject(element->m_object, element->m_key);
    }
    return dictionary;
}

CCDictionary::~CCDictionary()
{
    removeAllObjects();
}

CCArray* CCDictionary::allKeys() const
{
    CCArray* keys = CCArray::createWithCapacity(count());
    for (const CCDictElement* element = m_first; element; element = element->m_next)
        keys->addObject(CCString::create(element->m_key));
    return keys;
}

CCObject* CCDictionary::objectForKey(const std::string& key) const
{
    const auto it = m_index.find(key);
    return it == m_index.end() ? nullptr : it->second->m_object;
}

const CCString* CCDictionary::valueForKey(const std::string& key) const
{
    if (const CCString* string = dynamic_cast<const CCString*>(objectForKey(key)))
        return string;
    return CCString::create(std::string());
}

void CCDictionary::setObject(CCObject* object, const std::string& key)
{
    if (!object) {
        debugLog("[CCDictionary] setObject: null object for key \"%s\" ignored", key.c_str());
        return;
    }
    const auto it = m_index.find(key);
    if (it != m_index.end()) {
        CCDictElement* element = it->second.get();
        CCObject* old = element->m_object;
        object->retain();
        element->m_object = object;
        old->release();
        return;
    }

    auto element = std::unique_ptr<CCDictElement>(new CCDictElement(key));
    object->retain();
    element->m_object = object;
    element->m_prev = m_last;
    if (m_last)
        m_last->m_next = element.get();
    else
        m_first = element.get();
    m_last = element.get();
    m_index.emplace(key, std::move(element));
}

void CCDictionary::unlink(CCDictElement* element)
{
    if (element->m_prev)
        element->m_prev->m_next = element->m_next;
    else
        m_first = element->m_next;
    if (element->m_next)
        element->m_next->m_prev = element->m_prev;
    else
        m_last = element->m_prev;
}

void CCDictionary::removeObjectForKey(const std::string& key)
{
    const auto it = m_index.find(key);
    if (it == m_index.end())
        return;
    CCObject* object = it->second->m_object;
    unlink(it->second.get());
    m_index.erase(it);
    // Released last: the value's destructor may reach back into this dictionary.
    object->release();
}

void CCDictionary::removeAllObjects()
{
    std::vector<CCObject*> released;
    released.reserve(m_index.size());
    for (const CCDictElement* element = m_first; element; element = element->m_next)
        released.push_back(element->m_object);
    m_index.clear();
    m_first = nullptr;
    m_last = nullptr;
    for (CCObject* object : released)
        object->release();
}

} // namespace cocos2d
