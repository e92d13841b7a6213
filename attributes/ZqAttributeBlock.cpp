#include "attributes/ZqAttributeBlock.h"

#include "attributes/ZqBaseAttribute.h"

#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define ZQ_BLOCK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZQ_BLOCK_ASAN 1
#endif
#endif
#ifdef ZQ_BLOCK_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace zqblock {

namespace {

constexpr std::size_t kHeader = roundUp(sizeof(Block));

// Blocks come from the plain operator new, which aligns this far already: its aligned
// form would cost a memalign a block.
static_assert(kAlignment <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);

} // namespace

struct alignas(kAlignment) Slab {
    std::atomic<uint32_t> blocks{1}; // the blocks cut from it, and 1 while it is current
};

namespace {

constexpr std::size_t kSlabBytes = 64 * 1024;
constexpr std::size_t kSlabHeader = roundUp(sizeof(Slab));
// A larger block has an allocation of its own.
constexpr std::size_t kLargestSlabBlock = kSlabBytes / 8;
#ifdef ZQ_BLOCK_ASAN
// Out of bounds after each block, so that a write past one is caught before the next.
constexpr std::size_t kSlabGap = 32;
#else
constexpr std::size_t kSlabGap = 0;
#endif

void releaseSlab(Slab* slab)
{
    if (slab->blocks.fetch_sub(1, std::memory_order_acq_rel) != 1)
        return;
    slab->~Slab();
    ::operator delete(static_cast<void*>(slab));
}

// The thread's current slab and its free part, and the scopes open.
struct SlabCursor {
    Slab* slab = nullptr;
    char* next = nullptr;
    char* end = nullptr;
    int scopes = 0;
    ~SlabCursor()
    {
        if (slab)
            releaseSlab(slab);
    }
};

SlabCursor& slabCursor()
{
    thread_local SlabCursor cursor;
    return cursor;
}

// size bytes for a block, and the slab they were cut from (null when none).
char* blockMemory(std::size_t size, Slab*& slab)
{
    SlabCursor& cursor = slabCursor();
    if (cursor.scopes == 0 || size > kLargestSlabBlock) {
        slab = nullptr;
        return static_cast<char*>(::operator new(size));
    }
    if (static_cast<std::size_t>(cursor.end - cursor.next) < size + kSlabGap) {
        if (cursor.slab)
            releaseSlab(cursor.slab);
        char* memory = static_cast<char*>(::operator new(kSlabBytes));
        cursor.slab = new (memory) Slab();
        cursor.next = memory + kSlabHeader;
        cursor.end = memory + kSlabBytes;
#ifdef ZQ_BLOCK_ASAN
        ASAN_POISON_MEMORY_REGION(cursor.next, kSlabBytes - kSlabHeader);
#endif
    }
    char* memory = cursor.next;
    cursor.next += size + kSlabGap;
    cursor.slab->blocks.fetch_add(1, std::memory_order_relaxed);
    slab = cursor.slab;
#ifdef ZQ_BLOCK_ASAN
    ASAN_UNPOISON_MEMORY_REGION(memory, size);
#endif
    return memory;
}

} // namespace

SlabScope::SlabScope()
{
    ++slabCursor().scopes;
}

SlabScope::~SlabScope()
{
    --slabCursor().scopes;
}

Room*& currentRoom()
{
    thread_local Room* room = nullptr;
    return room;
}

void* makeBlock(std::size_t body, std::size_t roomBytes, Room& room)
{
    body = roundUp(body);
    roomBytes = roundUp(roomBytes);
    Slab* slab = nullptr;
    const std::size_t bytes = kHeader + body + roomBytes;
    char* memory = blockMemory(bytes, slab);
    room.block = new (memory) Block();
    room.block->bytes = static_cast<uint32_t>(bytes);
    room.block->slab = slab;
    room.next = memory + kHeader + body;
    room.end = room.next + roomBytes;
    currentRoom() = &room;
    return memory + kHeader;
}

void releaseFirstPart(void* pointer)
{
    release(reinterpret_cast<Block*>(static_cast<char*>(pointer) - kHeader));
}

namespace {

// Moves the parts counted in the room into its block's count.
void settleRoom(Room& room)
{
    if (room.parts != 0) {
        room.block->parts.fetch_add(room.parts, std::memory_order_relaxed);
        room.parts = 0;
    }
}

} // namespace

void release(Block* block)
{
    if (Room* room = currentRoom(); room && room->block == block)
        settleRoom(*room);
    if (block->parts.fetch_sub(1, std::memory_order_acq_rel) != 1)
        return;
    Slab* slab = block->slab;
    if (!slab) {
        block->~Block();
        ::operator delete(static_cast<void*>(block));
        return;
    }
#ifdef ZQ_BLOCK_ASAN
    const uint32_t bytes = block->bytes;
#endif
    block->~Block();
#ifdef ZQ_BLOCK_ASAN
    // The slab lives on: a use of the block must still be caught.
    ASAN_POISON_MEMORY_REGION(static_cast<void*>(block), bytes);
#endif
    releaseSlab(slab);
}

namespace {

struct Prefix {
    Block* block;
    std::size_t size;
};
constexpr std::size_t kPrefix = roundUp(sizeof(Prefix));

} // namespace

void* allocate(std::size_t size)
{
    const std::size_t total = kPrefix + roundUp(size);
    char* memory = nullptr;
    Block* block = nullptr;
    if (Room* room = currentRoom()) {
        room->wanted += total;
        if (static_cast<std::size_t>(room->end - room->next) >= total) {
            memory = room->next;
            room->next += total;
            block = room->block;
            ++room->parts;
        }
    }
    if (!memory)
        memory = static_cast<char*>(::operator new(total));
    new (memory) Prefix{block, total};
    return memory + kPrefix;
}

void deallocate(void* pointer)
{
    if (!pointer)
        return;
    char* memory = static_cast<char*>(pointer) - kPrefix;
    const Prefix prefix = *reinterpret_cast<Prefix*>(memory);
    if (!prefix.block) {
        ::operator delete(memory);
        return;
    }
#ifdef ZQ_BLOCK_ASAN
    // The block lives on: a use of the piece must still be caught.
    ASAN_POISON_MEMORY_REGION(memory, prefix.size);
#endif
    release(prefix.block);
}

void RoomScope::finish()
{
    settleRoom(m_room);
#ifdef ZQ_BLOCK_ASAN
    if (m_room.next != m_room.end)
        ASAN_POISON_MEMORY_REGION(m_room.next, static_cast<std::size_t>(m_room.end - m_room.next));
#endif
    m_room.next = m_room.end;
}

} // namespace zqblock

// Attributes made while a model is made lie in its block.
void* ZqBaseAttribute::operator new(std::size_t size)
{
    return zqblock::allocate(size);
}

void ZqBaseAttribute::operator delete(void* pointer)
{
    zqblock::deallocate(pointer);
}
