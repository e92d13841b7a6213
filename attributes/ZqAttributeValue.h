#pragma once

#include "attributes/ZqBaseAttribute.h"
#include "base/CCGeometry.h"
#include "base/ccTypes.h"

#include <climits>
#include <string>

// Base of the single-value attributes: one value of type T, packed as {"value": ...}.
// Texts are a MessagePack str; rectangles and colours four FLOAT32 (x, y, width, height /
// r, g, b, a); sizes and points two (width, height / x, y). Reading stores the value as it
// comes (no cut, no comparison, no notification); an absent "value" keeps it; a wrong type
// or an array of another length throws msgpack::type_error.
// Instantiated for std::string, CCRect, CCSize, CCPoint and ccColor4F.
template <typename T>
class ZqAttributeValue : public ZqAttribute {
public:
    ZqAttributeValue(ZqAttributeName name, ZqAttributeOwner* owner, unsigned flag = 0);
    // The base copy (links of a target included), then the value.
    ZqAttributeValue(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeValue& source);

    void collectKeys() const override;
    void packAttributes(MessagePackMap& map) const override;
    void unpackAttributes(const MessagePackMap& map) final { readEntries(map); }
    bool readEntry(const MessagePackEntry& entry) override;
    // "value".
    void entryFields(ZqEntryFields& fields) override;

    const T& value() const { return m_value; }
    // Stores the value when it differs and then, unless silent, notifies the owner.
    void setValue(const T& value, bool silent = false);

protected:
    T m_value{};
};

extern template class ZqAttributeValue<std::string>;
extern template class ZqAttributeValue<cocos2d::CCRect>;
extern template class ZqAttributeValue<cocos2d::CCSize>;
extern template class ZqAttributeValue<cocos2d::CCPoint>;
extern template class ZqAttributeValue<cocos2d::ccColor4F>;

// A text with a maximum length in bytes.
class ZqAttributeString : public ZqAttributeValue<std::string> {
public:
    ZqAttributeString(ZqAttributeName name, ZqAttributeOwner* owner, int maxLength = INT_MAX);
    // The base copy, the maximum length, then the value (stored without notification).
    ZqAttributeString(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeString& source);
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeString)

    // Cuts the text to its first maximum-length bytes; stores it when it differs and then,
    // unless silent, notifies the owner.
    void setValue(const std::string& text, bool silent = false);
    // A null text is stored as "".
    void setValue(const char* text, bool silent = false);
    int maxLength() const { return m_maxLength; }

    // {"value": text}; a non-empty text read from it goes through setValue, silently.
    void loadValueFromDictionary(cocos2d::CCDictionary* dictionary) override;
    cocos2d::CCObject* saveValueToDictionary() const override;

protected:
    // After setValue stored a different text.
    virtual void textStored() {}

private:
    int m_maxLength;
};

// A text chosen from a list in the editor: the player keeps only the chosen token ("kAdd").
class ZqAttributeStringList : public ZqAttributeString {
public:
    ZqAttributeStringList(ZqAttributeName name, ZqAttributeOwner* owner);
    ZqAttributeStringList(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeStringList& source);
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeStringList)
};

// A rectangle (x, y, width, height).
class ZqAttributeRect : public ZqAttributeValue<cocos2d::CCRect> {
public:
    ZqAttributeRect(ZqAttributeName name, ZqAttributeOwner* owner);
    ZqAttributeRect(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeRect& source);
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeRect)

    // {"value": "{{x,y},{w,h}}"} with "%.2f" numbers; reading assigns without notification.
    void loadValueFromDictionary(cocos2d::CCDictionary* dictionary) override;
    cocos2d::CCObject* saveValueToDictionary() const override;
};

// A size (width, height).
class ZqAttributeSize : public ZqAttributeValue<cocos2d::CCSize> {
public:
    ZqAttributeSize(ZqAttributeName name, ZqAttributeOwner* owner);
    ZqAttributeSize(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeSize& source);
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeSize)

    // {"value": "{w,h}"} with "%.2f" numbers; reading assigns without notification.
    void loadValueFromDictionary(cocos2d::CCDictionary* dictionary) override;
    cocos2d::CCObject* saveValueToDictionary() const override;
};
