#include "attributes/ZqNonEmptyText.h"

#include "attributes/MessagePackMap.h"
#include "cocos2d.h"

#include <utility>

using cocos2d::CCDictionary;
using cocos2d::CCString;

const CCString* zqNonEmptyText(const CCDictionary* dictionary, const char* key)
{
    if (!dictionary)
        return nullptr;
    // objectForKey: valueForKey would make a new empty string for each missing key.
    const auto* text = dynamic_cast<const CCString*>(dictionary->objectForKey(key));
    return text && text->length() > 0 ? text : nullptr;
}

bool zqNonEmptyText(const MessagePackMap& map, KeyRef key, std::string& out)
{
    std::string text;
    if (!map.getString(key, text) || text.empty())
        return false;
    out = std::move(text);
    return true;
}
