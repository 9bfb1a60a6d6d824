// The program tests' own operator new and delete, which can watch object lifetimes.
//
// While a HeapWatch lives, memory that C++ code deletes is held back untouched instead
// of being freed (whenever it was allocated), and every delete is counted per allocation: deleting an object twice
// shows as a count instead of a corrupted heap that may or may not crash. The held
// memory is freed when the watch ends. A watch can also make one allocation fail.
#pragma once

#include <cstddef>

class HeapWatch {
public:
    HeapWatch();
    ~HeapWatch();
    HeapWatch(const HeapWatch&) = delete;
    HeapWatch& operator=(const HeapWatch&) = delete;

    struct Lifetimes {
        int allocated;  // objects of the size made during the watch
        int deleted;    // how many of them were deleted at least once
    };
    // Allocations of exactly this size made during the watch, and their deletions.
    Lifetimes Of(std::size_t size) const;
    // Deletes of memory that had already been deleted during the watch.
    int DoubleDeletes() const;
    // The next allocation of exactly this size throws std::bad_alloc.
    void FailNextAllocationOf(std::size_t size);
};
