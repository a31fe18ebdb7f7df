#pragma once
// Counts the C heap of the whole process (our code, Qt, SQLite and the C++ library all allocate
// through malloc) by standing in for malloc and friends and forwarding to glibc's own. While
// counting is on it keeps the bytes in use (malloc_usable_size) and their peak, so a benchmark
// can report the peak a piece of work adds. Include it in one source file of a program only.

#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}

namespace heapcount {

inline std::atomic<bool> on{false};
inline std::atomic<long long> live{0};
inline std::atomic<long long> peak{0};

inline long long sizeOf(void* p) { return p && on.load(std::memory_order_relaxed) ? (long long)malloc_usable_size(p) : 0; }

inline void change(long long delta)
{
    if (!delta) return;
    long long now = live.fetch_add(delta, std::memory_order_relaxed) + delta;
    long long seen = peak.load(std::memory_order_relaxed);
    while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {}
}

// The peak of heap bytes in use above the level at the start, while f runs.
template <class F>
long long peakOf(F&& f)
{
    live = 0;
    peak = 0;
    on = true;
    f();
    on = false;
    return peak.load();
}

} // namespace heapcount

extern "C" {
void* malloc(size_t n)
{
    void* p = __libc_malloc(n);
    heapcount::change(heapcount::sizeOf(p));
    return p;
}
void* calloc(size_t n, size_t size)
{
    void* p = __libc_calloc(n, size);
    heapcount::change(heapcount::sizeOf(p));
    return p;
}
void* realloc(void* old, size_t n)
{
    long long before = heapcount::sizeOf(old);
    void* p = __libc_realloc(old, n);
    if (p || n == 0) heapcount::change(heapcount::sizeOf(p) - before);
    return p;
}
void* memalign(size_t align, size_t n)
{
    void* p = __libc_memalign(align, n);
    heapcount::change(heapcount::sizeOf(p));
    return p;
}
void* aligned_alloc(size_t align, size_t n) { return memalign(align, n); }
void* valloc(size_t n) { return memalign(size_t(sysconf(_SC_PAGESIZE)), n); }
int posix_memalign(void** out, size_t align, size_t n)
{
    void* p = memalign(align, n);
    if (!p) return 12; // ENOMEM
    *out = p;
    return 0;
}
void free(void* p)
{
    heapcount::change(-heapcount::sizeOf(p));
    __libc_free(p);
}
}
