#pragma once

#include "base/CCObject.h"

#include <memory>
#include <string>
#include <unordered_map>

namespace cocos2d {

class CCArray;
class CCString;

// One entry of a dictionary, owned by it; valid until its key is removed.
class CCDictElement {
public:
    const std::string& getStrKey() const { return m_key; }
    CCObject* getObject() const { return m_object; }

private:
    friend class CCDictionary;
    explicit CCDictElement(const std::string& key) : m_key(key) {}

    std::string m_key;
    CCObject* m_object = nullptr;
    CCDictElement* m_prev = nullptr;
    CCDictElement* m_next = nullptr;
};

// A map from string keys to engine objects that keeps the order in which keys were
// first set. It holds one reference to each value. Lookup is a hash lookup; removal
// keeps the order of the other entries.
class CCDictionary : public CCObject {
public:
    // Autoreleased, empty.
    static CCDictionary* create();
    // Autoreleased copy holding the same values (each retained once more) in the same
    // order; null gives an empty dictionary.
    static CCDictionary* createWithDictionary(CCDictionary* other);

    CCDictionary() = default;
    ~CCDictionary() override;

    unsigned int count() const { return static_cast<unsigned int>(m_index.size()); }
    // An autoreleased array of CCString keys in dictionary order; empty (never null)
    // for an empty dictionary.
    CCArray* allKeys() const;

    // The value, or nullptr when the key is absent.
    CCObject* objectForKey(const std::string& key) const;
    // The value when it is a CCString. An absent key, or a value of another class,
    // gives an autoreleased empty CCString, never null: "nothing" reads as length 0,
    // and its number readers give 0.
    const CCString* valueForKey(const std::string& key) const;

    // Stores object under key, retaining it. A key already present keeps its place in
    // the order and releases its old value after the new one is retained, so setting
    // the same object again is safe. A null object is ignored.
    void setObject(CCObject* object, const std::string& key);
    void removeObjectForKey(const std::string& key);
    void removeAllObjects();

    // Dictionary order, for CCDICT_FOREACH.
    CCDictElement* firstElement() const { return m_first; }
    static CCDictElement* nextElement(const CCDictElement* element) { return element->m_next; }

private:
    void unlink(CCDictElement* element);

    std::unordered_map<std::string, std::unique_ptr<CCDictElement>> m_index;
    CCDictElement* m_first = nullptr;
    CCDictElement* m_last = nullptr;
};

// Walks the entries in dictionary order; element must be a CCDictElement* variable
// declared by the caller. The next entry is fetched before the body runs, so the body
// may remove the current entry (but not the one after it).
#define CCDICT_FOREACH(__dict__, __element__)                                                          \
    for (cocos2d::CCDictElement* ccDictForeachNext = (__dict__) ? (__dict__)->firstElement() : nullptr; \
         ((__element__) = ccDictForeachNext) != nullptr                                               \
         && ((ccDictForeachNext = cocos2d::CCDictionary::nextElement(__element__)), true);)

} // namespace cocos2d
