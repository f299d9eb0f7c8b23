// Present pages for large buffers: an anonymous mapping populated by the
// kernel in one call (MAP_POPULATE), instead of one page fault per page.
#include "app/diagrams/populated_pages.h"

#include <sys/mman.h>

namespace app::diagrams {

void* acquire_pages(std::size_t bytes) noexcept {
    if (bytes < POPULATED_MIN_BYTES) return ::operator new(bytes, std::nothrow);
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
    munmap(p, bytes);
}

}  // namespace app::diagrams
