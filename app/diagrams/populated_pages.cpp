// Present pages for large buffers: an anonymous mapping whose pages the
// kernel makes present in one call, instead of one page fault per page.
// Buffers of a large page or more (a diagram's pixels, 3.2 MB) are laid on
// large pages: the first write to each small page of fresh memory cost
// 5-20 microseconds on a virtual machine (9 ms for the pixels of one batch
// image), to each large page a few hundred (0.3-0.7 ms for the same
// pixels). Where the kernel has no large page free, small ones are given.
#include "app/diagrams/populated_pages.h"

#include <sys/mman.h>

#include <cstdint>

namespace app::diagrams {

namespace {

// The mapping of `bytes` bytes: its length, a whole number of large pages
// for a large buffer.
std::size_t mapped_length(std::size_t bytes) {
    if (bytes < LARGE_PAGE_BYTES) return bytes;
    return (bytes + LARGE_PAGE_BYTES - 1) / LARGE_PAGE_BYTES * LARGE_PAGE_BYTES;
}

// `length` bytes (a whole number of large pages) starting on a large page:
// one more large page is mapped and what lies outside is given back.
void* map_on_large_pages(std::size_t length) {
    void* p = mmap(nullptr, length + LARGE_PAGE_BYTES, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t aligned = (start + LARGE_PAGE_BYTES - 1) & ~(LARGE_PAGE_BYTES - 1);
    if (aligned > start) munmap(p, aligned - start);
    const std::uintptr_t tail = start + length + LARGE_PAGE_BYTES - (aligned + length);
    if (tail > 0) munmap(reinterpret_cast<void*>(aligned + length), tail);
    void* q = reinterpret_cast<void*>(aligned);
    madvise(q, length, MADV_HUGEPAGE);
    // Present and zeroed; a kernel without this call gives the pages at
    // first touch.
    madvise(q, length, MADV_POPULATE_WRITE);
    return q;
}

}  // namespace

void* acquire_pages(std::size_t bytes) noexcept {
    if (bytes < POPULATED_MIN_BYTES) return ::operator new(bytes, std::nothrow);
    if (bytes >= LARGE_PAGE_BYTES) {
        if (bytes > ~std::size_t{0} - 2 * LARGE_PAGE_BYTES) return nullptr;  // no such room
        return map_on_large_pages(mapped_length(bytes));
    }
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
}

void release_pages(void* p, std::size_t bytes) noexcept {
    if (p == nullptr) return;
    if (bytes < POPULATED_MIN_BYTES) {
        ::operator delete(p);
        return;
    }
    munmap(p, mapped_length(bytes));
}

}  // namespace app::diagrams
