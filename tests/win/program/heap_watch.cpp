#include "heap_watch.h"

#include <cstdlib>
#include <new>

namespace {

struct Allocation {
    void* memory;
    std::size_t size;
    int deletes;
};

constexpr std::size_t kMaxWatched = 1 << 16;

struct Watch {
    Allocation allocations[kMaxWatched];
    std::size_t count = 0;
    int doubleDeletes = 0;
    std::size_t failSize = 0;
};

Watch* g_watch = nullptr;

Allocation* Find(void* memory)
{
    // Newest first: memory freed before the watch may come back under a new allocation;
// memory freed during it is held back and never does.
    for (std::size_t i = g_watch->count; i-- > 0;) {
        if (g_watch->allocations[i].memory == memory) {
            return &g_watch->allocations[i];
        }
    }
    return nullptr;
}

}  // namespace

void* operator new(std::size_t size)
{
    if (g_watch != nullptr && g_watch->failSize != 0 && size == g_watch->failSize) {
        g_watch->failSize = 0;
        throw std::bad_alloc();
    }
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    if (g_watch != nullptr && g_watch->count < kMaxWatched) {
        g_watch->allocations[g_watch->count++] = Allocation{memory, size, 0};
    }
    return memory;
}

void operator delete(void* memory) noexcept
{
    if (memory == nullptr) {
        return;
    }
    if (g_watch != nullptr) {
        if (Allocation* a = Find(memory)) {
            if (++a->deletes > 1) {
                ++g_watch->doubleDeletes;
            }
            return;  // held back until the watch ends
        }
        if (g_watch->count < kMaxWatched) {
            // Made before the watch (size unknown): held back all the same, so that a
            // second delete is seen too.
            g_watch->allocations[g_watch->count++] = Allocation{memory, 0, 1};
            return;
        }
    }
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept { operator delete(memory); }

HeapWatch::HeapWatch()
{
    g_watch = static_cast<Watch*>(std::calloc(1, sizeof(Watch)));
}

HeapWatch::~HeapWatch()
{
    Watch* watch = g_watch;
    g_watch = nullptr;
    for (std::size_t i = 0; i < watch->count; ++i) {
        if (watch->allocations[i].deletes > 0) {
            std::free(watch->allocations[i].memory);
        }
    }
    std::free(watch);
}

HeapWatch::Lifetimes HeapWatch::Of(std::size_t size) const
{
    Lifetimes result{0, 0};
    for (std::size_t i = 0; i < g_watch->count; ++i) {
        if (g_watch->allocations[i].size == size) {
            ++result.allocated;
            result.deleted += g_watch->allocations[i].deletes > 0 ? 1 : 0;
        }
    }
    return result;
}

int HeapWatch::DoubleDeletes() const { return g_watch->doubleDeletes; }

void HeapWatch::FailNextAllocationOf(std::size_t size) { g_watch->failSize = size; }
