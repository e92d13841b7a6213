#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

// One allocation for a model, its shared pointer's control block and the attributes its
// constructor makes. The block starts with a count of the parts placed in it (the model
// with its control block, and each attribute); it is freed when the last part goes, so
// an attribute taken from its model may outlive the model.
//
// While a model is being made, its block's room is the thread's current room: every
// ZqBaseAttribute made meanwhile is placed there while it fits, else on the heap as
// usual (ZqBaseAttribute's operator new). The room a class needs is learned from the
// models of it already made.
namespace zqblock {

// Every part's memory is aligned to this.
constexpr std::size_t kAlignment = 16;

constexpr std::size_t roundUp(std::size_t size)
{
    return (size + kAlignment - 1) & ~(kAlignment - 1);
}

struct Slab;

struct alignas(kAlignment) Block {
    std::atomic<uint32_t> parts{1};
    uint32_t bytes = 0; // the whole block's
    // The slab the block was cut from, else null (a block of its own allocation).
    Slab* slab = nullptr;
};

// The free part of a block: [next, end). wanted counts every byte that attributes asked
// for while the room was current, placed or not. The parts placed in the room are counted
// in parts, and join the block's own count when the room closes (or when the block is
// released before): while the model is being made no other thread sees its block.
struct Room {
    Block* block = nullptr;
    char* next = nullptr;
    char* end = nullptr;
    std::size_t wanted = 0;
    uint32_t parts = 0;
};

// The current room of this thread, else null.
Room*& currentRoom();

// While a scope is open on a thread, the blocks made there are cut in turn from slabs of
// many blocks instead of each being allocated on its own: making a model then moves a
// pointer. A slab is freed once its last block has gone. The loader opens one for each
// file it reads: the models of a game mostly live as long as the game.
class SlabScope {
public:
    SlabScope();
    ~SlabScope();
    SlabScope(const SlabScope&) = delete;
    SlabScope& operator=(const SlabScope&) = delete;
};

// A new block with body bytes for its first part (returned) and room bytes after it,
// which become room's and the thread's current room.
void* makeBlock(std::size_t body, std::size_t roomBytes, Room& room);
// Drops the part at pointer (a first part of a block made by makeBlock).
void releaseFirstPart(void* pointer);
// Drops one part of the block; the last frees it.
void release(Block* block);

// size bytes in the current room while it has them, else on the heap; either way the
// piece starts with a prefix naming its block, so that deallocate frees it where it lies.
void* allocate(std::size_t size);
void deallocate(void* pointer);

// The allocator of containers that a model's constructor fills (its attribute list): their
// first buffer lies in the model's block too.
template <class T>
struct RoomAllocator {
    using value_type = T;
    RoomAllocator() = default;
    template <class U>
    RoomAllocator(const RoomAllocator<U>&)
    {
    }
    T* allocate(std::size_t count) { return static_cast<T*>(zqblock::allocate(count * sizeof(T))); }
    void deallocate(T* pointer, std::size_t) { zqblock::deallocate(pointer); }
    template <class U>
    bool operator==(const RoomAllocator<U>&) const
    {
        return true;
    }
};

// Makes the room of one model current while it is made, then gives the previous back.
class RoomScope {
public:
    RoomScope() : m_previous(currentRoom()) {}
    ~RoomScope()
    {
        finish();
        currentRoom() = m_previous;
    }
    RoomScope(const RoomScope&) = delete;
    RoomScope& operator=(const RoomScope&) = delete;

    Room& room() { return m_room; }

private:
    // Marks the room's unused end as out of bounds for the address sanitizer.
    void finish();

    Room* m_previous;
    Room m_room;
};

} // namespace zqblock
