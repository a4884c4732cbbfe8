#pragma once

#include <cstdint>

/**
    Counts heap calls (malloc, calloc, realloc, the aligned forms and free, which every operator new
    and delete reaches) made on the threads that asked to be watched. The test executable
    replaces the C allocator's entry points, so allocations inside the framework and the
    standard library are seen as well as our own.
*/
namespace AllocationCounter
{
    /** Starts or stops counting on the calling thread. */
    void watchThisThread (bool shouldWatch) noexcept;

    /** Heap calls made on watched threads since the last reset. */
    std::int64_t count() noexcept;
    void reset() noexcept;
}
