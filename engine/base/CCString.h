#pragma once

#include "base/CCGeometry.h"
#include "base/CCObject.h"

#include <string>

namespace cocos2d {

// An engine object holding a text. The number readers never fail: text that is not a
// number gives 0, and each follows the C library's reader on a leading number with
// the clamping described below.
class CCString : public CCObject {
public:
    CCString() = default;
    explicit CCString(const std::string& text) : m_sString(text) {}

    // Autoreleased.
    static CCString* create(const std::string& text);
    // printf-style, any length; a null format gives the empty text.
    static CCString* createWithFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
    // The first length bytes of data; null data gives the empty text.
    static CCString* createWithData(const unsigned char* data, unsigned long length);

    const char* getCString() const { return m_sString.c_str(); }
    unsigned int length() const { return static_cast<unsigned int>(m_sString.length()); }

    // strtol, base 10; out of range clamps to INT_MIN or INT_MAX.
    int intValue() const;
    // strtoul, base 10, the full unsigned 32-bit range; above it clamps to UINT_MAX.
    // A negative number gives 0 (strtoul would wrap "-1" round to 4294967295).
    unsigned int uintValue() const;
    // strtod; out of range clamps to the largest finite value of that sign; "nan" and
    // "inf" texts give 0.
    float floatValue() const;
    double doubleValue() const;
    // False for the empty text, "0" and "false"; any other text is true.
    bool boolValue() const;
    // CCPointFromString of the text: (0, 0) when it is not "{x,y}".
    CCPoint pointValue() const;

    // strcmp with the text; null counts as the empty text.
    int compare(const char* text) const;
    // True for another CCString of the same text.
    bool isEqual(const CCObject* other) const override;

    std::string m_sString;
};

} // namespace cocos2d
