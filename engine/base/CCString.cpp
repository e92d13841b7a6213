#include "base/CCString.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace cocos2d {

CCString* CCString::create(const std::string& text)
{
    CCString* string = new CCString(text);
    string->autorelease();
    return string;
}

CCString* CCString::createWithFormat(const char* format, ...)
{
    CCString* string = create(std::string());
    if (!format)
        return string;

    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    // Measure first, then format into a buffer of exactly that size: no length limit
    // and no truncation.
    const int needed = vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (needed > 0) {
        string->m_sString.resize(static_cast<size_t>(needed));
        vsnprintf(string->m_sString.data(), static_cast<size_t>(needed) + 1, format, args);
    }
    va_end(args);
    return string;
}

CCString* CCString::createWithData(const unsigned char* data, unsigned long length)
{
    if (!data)
        return create(std::string());
    return create(std::string(reinterpret_cast<const char*>(data), length));
}

int CCString::intValue() const
{
    const long value = std::strtol(m_sString.c_str(), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

unsigned int CCString::uintValue() const
{
    const char* text = m_sString.c_str();
    while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r' || *text == '\f' || *text == '\v')
        ++text;
    if (*text == '-')
        return 0;
    const unsigned long value = std::strtoul(text, nullptr, 10);
    return value > UINT_MAX ? UINT_MAX : static_cast<unsigned int>(value);
}

double CCString::doubleValue() const
{
    errno = 0;
    const double value = std::strtod(m_sString.c_str(), nullptr);
    if (std::isnan(value))
        return 0.0;
    if (std::isinf(value))
        return errno == ERANGE ? std::copysign(DBL_MAX, value) : 0.0;
    return value;
}

float CCString::floatValue() const
{
    // Clamp in double: converting a double beyond the float range is undefined.
    const double value = doubleValue();
    if (value > FLT_MAX)
        return FLT_MAX;
    if (value < -FLT_MAX)
        return -FLT_MAX;
    return static_cast<float>(value);
}

bool CCString::boolValue() const
{
    return !(m_sString.empty() || m_sString == "0" || m_sString == "false");
}

CCPoint CCString::pointValue() const
{
    return CCPointFromString(m_sString.c_str());
}

int CCString::compare(const char* text) const
{
    return std::strcmp(m_sString.c_str(), text ? text : "");
}

bool CCString::isEqual(const CCObject* other) const
{
    const CCString* string = dynamic_cast<const CCString*>(other);
    return string && string->m_sString == m_sString;
}

} // namespace cocos2d
