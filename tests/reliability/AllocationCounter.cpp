#include "AllocationCounter.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>

// glibc's own implementations, which the replacements below forward to.
extern "C"
{
    void* __libc_malloc (size_t size);
    void* __libc_calloc (size_t count, size_t size);
    void* __libc_realloc (void* pointer, size_t size);
    void* __libc_memalign (size_t alignment, size_t size);
    void __libc_free (void* pointer);
}

namespace
{
    thread_local bool threadIsWatched = false;
    std::atomic<std::int64_t> watchedCalls { 0 };

    void noteHeapCall() noexcept
    {
        if (threadIsWatched)
            watchedCalls.fetch_add (1, std::memory_order_relaxed);
    }
}

void AllocationCounter::watchThisThread (bool shouldWatch) noexcept  { threadIsWatched = shouldWatch; }
std::int64_t AllocationCounter::count() noexcept                     { return watchedCalls.load(); }
void AllocationCounter::reset() noexcept                             { watchedCalls.store (0); }

extern "C"
{
    void* malloc (size_t size) noexcept
    {
        noteHeapCall();
        return __libc_malloc (size);
    }

    void* calloc (size_t count, size_t size) noexcept
    {
        noteHeapCall();
        return __libc_calloc (count, size);
    }

    void* realloc (void* pointer, size_t size) noexcept
    {
        noteHeapCall();
        return __libc_realloc (pointer, size);
    }

    void* aligned_alloc (size_t alignment, size_t size) noexcept
    {
        noteHeapCall();
        return __libc_memalign (alignment, size);
    }

    int posix_memalign (void** result, size_t alignment, size_t size) noexcept
    {
        noteHeapCall();

        if (alignment % sizeof (void*) != 0 || (alignment & (alignment - 1)) != 0)
            return EINVAL;

        *result = __libc_memalign (alignment, size);
        return *result != nullptr || size == 0 ? 0 : ENOMEM;
    }

    void free (void* pointer) noexcept
    {
        if (pointer != nullptr)
            noteHeapCall();

        __libc_free (pointer);
    }
}
