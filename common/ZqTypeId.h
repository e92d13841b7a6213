#pragma once

#include <cstdint>
#include <string_view>

// Type ids: the 32-bit FNV-1a hash of a class name, computed at compile time,
// the same on every platform and every run.
constexpr uint32_t zqTypeIdOf(std::string_view name)
{
    uint32_t hash = 2166136261u;
    for (char c : name) {
        hash ^= static_cast<uint8_t>(c);
        hash *= 16777619u;
    }
    return hash;
}

// Gives a class its static name and type id from its own name, in one line. The id is a
// constant: a call outside a constant expression would otherwise hash the name each time.
#define ZQ_STATIC_IDENTITY(ClassName)                                                  \
    static constexpr const char* staticClassName() { return #ClassName; }             \
    static constexpr uint32_t staticTypeId()                                            \
    {                                                                                   \
        constexpr uint32_t id = zqTypeIdOf(#ClassName);                                 \
        return id;                                                                      \
    }
