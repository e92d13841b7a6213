#include "attributes/ZqNonEmptyText.h"

#include "attributes/MessagePackMap.h"
#include "cocos2d.h"

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
    std::string_view text;
    if (!zqNonEmptyText(map, key, text))
        return false;
    out.assign(text);
    return true;
}

bool zqNonEmptyText(const MessagePackMap& map, KeyRef key, std::string_view& out)
{
    const msgpack::object* object = map.find(key);
    if (!object)
        return false;
    // str or bin, as msgpack-c converts to a string; anything else is damaged data.
    if (object->type != msgpack::type::STR && object->type != msgpack::type::BIN)
        throw msgpack::type_error();
    const std::string_view text = object->type == msgpack::type::STR
                                      ? std::string_view(object->via.str.ptr, object->via.str.size)
                                      : std::string_view(object->via.bin.ptr, object->via.bin.size);
    if (text.empty())
        return false;
    out = text;
    return true;
}
