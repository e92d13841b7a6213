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

namespace zqcachedcast {

struct Entry {
    const std::type_info* type;
    std::ptrdiff_t fromOffset; // from's place in the whole object
    std::ptrdiff_t toOffset;   // the answer's place from from; unused when none
    bool found;
};

// The answers of one cast. Trivially destructible, so reading them costs no guard.
template <class To, class From>
struct Table {
    static thread_local Entry entries[kZqCachedCastTypes];
    static thread_local int used;
    // The loops cast runs of objects of one type: the entry that answered last is tried first.
    static thread_local int last;
};
template <class To, class From>
thread_local Entry Table<To, From>::entries[kZqCachedCastTypes];
template <class To, class From>
thread_local int Table<To, From>::used = 0;
template <class To, class From>
thread_local int Table<To, From>::last = 0;

template <class To>
To* answer(std::uintptr_t address, const Entry& entry)
{
    return entry.found ? reinterpret_cast<To*>(address + static_cast<std::uintptr_t>(entry.toOffset)) : nullptr;
}

// The other entries, then a real cast whose answer is kept.
template <class To, class From>
[[gnu::noinline]] To* search(From* from, const std::type_info* type, std::ptrdiff_t fromOffset)
{
    using T = Table<To, From>;
    const auto address = reinterpret_cast<std::uintptr_t>(from);
    for (int i = 0; i < T::used; ++i) {
        if (T::entries[i].type == type && T::entries[i].fromOffset == fromOffset) {
            T::last = i;
            return answer<To>(address, T::entries[i]);
        }
    }
    To* to = dynamic_cast<To*>(from);
    if (T::used < kZqCachedCastTypes) {
        const std::ptrdiff_t toOffset = to ? static_cast<std::ptrdiff_t>(reinterpret_cast<std::uintptr_t>(to) - address) : 0;
        T::entries[T::used++] = Entry{type, fromOffset, toOffset, to != nullptr};
    }
    return to;
}

} // namespace zqcachedcast

// Inline up to the test of the entry that answered last, which answers nearly every call.
template <class To, class From>
To* zqCachedCast(From* from)
{
    static_assert(std::is_polymorphic_v<From> && std::is_class_v<To>);
    using T = zqcachedcast::Table<To, From>;
    if (!from)
        return nullptr;
    const std::type_info* type = &typeid(*from);
    const auto address = reinterpret_cast<std::uintptr_t>(from);
    const std::ptrdiff_t fromOffset =
        static_cast<std::ptrdiff_t>(address - reinterpret_cast<std::uintptr_t>(dynamic_cast<const volatile void*>(from)));
    const int last = T::last;
    if (last < T::used && T::entries[last].type == type && T::entries[last].fromOffset == fromOffset)
        return zqcachedcast::answer<To>(address, T::entries[last]);
    return zqcachedcast::search<To>(from, type, fromOffset);
}
