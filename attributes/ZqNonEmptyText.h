#pragma once

#include "attributes/KeyDictionary.h"

#include <string>
#include <string_view>

class MessagePackMap;
namespace cocos2d {
class CCDictionary;
class CCString;
}

// A text under a key that counts only when it holds at least one character: what the
// readers of names, ids and values want, for which an empty text means "not given".

// Engine-dictionary form: the engine string under key, else null. A missing key, a value
// that is not a string (a nested dictionary, an array), an empty text and a null
// dictionary all mean "no text".
const cocos2d::CCString* zqNonEmptyText(const cocos2d::CCDictionary* dictionary, const char* key);

// MessagePack form: true with the text in out when the entry is a text of at least one
// character; false (out untouched) for a missing key or an empty text. Any other value,
// nil included, is damaged data: msgpack::type_error, as every reader of the map throws.
bool zqNonEmptyText(const MessagePackMap& map, KeyRef key, std::string& out);
// The same with the text viewed where the map's object holds it (valid while that data is).
bool zqNonEmptyText(const MessagePackMap& map, KeyRef key, std::string_view& out);
