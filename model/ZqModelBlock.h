#pragma once

#include "attributes/ZqAttributeBlock.h"

#include <atomic>
#include <cstddef>
#include <memory>

// Asks the processor to fetch the 64-byte lines [first, first + count) counted from a
// model's address (negative lines lie before it, where its shared pointer's counts are):
// the loader meets models again far from where it made them.
inline void zqPrefetchModel(const void* model, int first, int count)
{
    const char* at = static_cast<const char*>(model);
    for (int line = first; line < first + count; ++line)
        __builtin_prefetch(at + 64 * line);
}

// The allocator that gives a model's shared pointer (control block and model) the first
// part of a block, with room after it for the attributes its constructor makes
// (attributes/ZqAttributeBlock.h).
template <class T>
class ZqModelBlockAllocator {
public:
    using value_type = T;

    ZqModelBlockAllocator(zqblock::Room& room, std::size_t roomBytes) : m_room(&room), m_roomBytes(roomBytes) {}
    template <class U>
    ZqModelBlockAllocator(const ZqModelBlockAllocator<U>& other) : m_room(other.m_room), m_roomBytes(other.m_roomBytes)
    {
    }

    T* allocate(std::size_t count)
    {
        static_assert(alignof(T) <= zqblock::kAlignment, "a block part is aligned to 16 bytes");
        return static_cast<T*>(zqblock::makeBlock(count * sizeof(T), m_roomBytes, *m_room));
    }
    void deallocate(T* pointer, std::size_t) { zqblock::releaseFirstPart(pointer); }

    template <class U>
    bool operator==(const ZqModelBlockAllocator<U>& other) const
    {
        return m_room == other.m_room;
    }

private:
    template <class U>
    friend class ZqModelBlockAllocator;

    zqblock::Room* m_room;
    std::size_t m_roomBytes;
};

// The room a model of class X has needed for its attributes: the most any made so far.
template <class X>
std::atomic<std::size_t>& zqModelRoomBytes()
{
    static std::atomic<std::size_t> bytes{0};
    return bytes;
}

// A new model of class X in one block with the attributes its constructor makes.
template <class X, class... Args>
std::shared_ptr<X> zqMakeModelInBlock(Args&&... args)
{
    std::atomic<std::size_t>& known = zqModelRoomBytes<X>();
    zqblock::RoomScope scope;
    std::shared_ptr<X> model = std::allocate_shared<X>(
        ZqModelBlockAllocator<X>(scope.room(), known.load(std::memory_order_relaxed)), std::forward<Args>(args)...);
    if (scope.room().wanted > known.load(std::memory_order_relaxed))
        known.store(scope.room().wanted, std::memory_order_relaxed);
    return model;
}
