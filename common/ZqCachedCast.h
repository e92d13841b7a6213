#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <typeinfo>

// dynamic_cast<To*>(from) for the loops that run every frame over every object. Where a
// cast lands depends only on the object's dynamic type and on which of its subobjects from
// points to, so the first cast of each such pair is a real dynamic_cast and its answer (an
// offset, or none) is kept; later ones reuse it. Answers what dynamic_cast answers,
// null for null. Kept per thread and per cast; past kZqCachedCastTypes pairs, a cast is a
// plain dynamic_cast.
inline constexpr int kZqCachedCastTypes = 16;

template <class To, class From>
To* zqCachedCast(From* from)
{
    static_assert(std::is_polymorphic_v<From> && std::is_class_v<To>);
    if (!from)
        return nullptr;
    struct Entry {
        const std::type_info* type;
        std::ptrdiff_t fromOffset; // from's place in the whole object
        std::ptrdiff_t toOffset;   // the answer's place from from; unused when none
        bool found;
    };
    // Trivially destructible, so reading them costs no guard.
    thread_local Entry entries[kZqCachedCastTypes];
    thread_local int used = 0;
    // The loops cast runs of objects of one type: the entry that answered last is tried first.
    thread_local int last = 0;

    const std::type_info* type = &typeid(*from);
    const auto address = reinterpret_cast<std::uintptr_t>(from);
    const std::ptrdiff_t fromOffset =
        static_cast<std::ptrdiff_t>(address - reinterpret_cast<std::uintptr_t>(dynamic_cast<const volatile void*>(from)));
    auto answer = [address](const Entry& entry) {
        return entry.found ? reinterpret_cast<To*>(address + static_cast<std::uintptr_t>(entry.toOffset)) : nullptr;
    };
    if (last < used && entries[last].type == type && entries[last].fromOffset == fromOffset)
        return answer(entries[last]);
    for (int i = 0; i < used; ++i) {
        if (entries[i].type == type && entries[i].fromOffset == fromOffset) {
            last = i;
            return answer(entries[i]);
        }
    }
    To* to = dynamic_cast<To*>(from);
    if (used < kZqCachedCastTypes) {
        const std::ptrdiff_t toOffset = to ? static_cast<std::ptrdiff_t>(reinterpret_cast<std::uintptr_t>(to) - address) : 0;
        entries[used++] = Entry{type, fromOffset, toOffset, to != nullptr};
    }
    return to;
}
