// Large buffers of the image writers with their pages made present at
// once: a fresh buffer's pages are otherwise given one at a time at first
// touch, and the faults of a 1024 x 800 image (its pixels, the deflater's
// symbols) cost more than the drawing's fill of it and the deflating.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

namespace app::diagrams {

// Buffers of at least this many bytes get present pages; smaller ones
// come from operator new.
inline constexpr std::size_t POPULATED_MIN_BYTES = std::size_t{256} << 10;
// Buffers of at least this many bytes lie on large pages of this size
// where the kernel has them (populated_pages.cpp says why).
inline constexpr std::size_t LARGE_PAGE_BYTES = std::size_t{2} << 20;

// `bytes` bytes, their pages present (zeroed) when the buffer is large,
// on large pages from LARGE_PAGE_BYTES on; nullptr when there is no room. Given back by
// release_pages with the same size.
void* acquire_pages(std::size_t bytes) noexcept;
void release_pages(void* p, std::size_t bytes) noexcept;

// A standard allocator on acquire_pages.
template <class T>
struct PopulatedAllocator {
    using value_type = T;
    PopulatedAllocator() = default;
    template <class U>
    PopulatedAllocator(const PopulatedAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        void* p = acquire_pages(n * sizeof(T));
        if (p == nullptr) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t n) noexcept { release_pages(p, n * sizeof(T)); }
    template <class U>
    bool operator==(const PopulatedAllocator<U>&) const noexcept {
        return true;
    }
};

// Gives back a buffer of acquire_pages.
struct ReleasePages {
    std::size_t bytes = 0;
    void operator()(unsigned char* p) const noexcept { release_pages(p, bytes); }
};

// Bytes from acquire_pages that give themselves back.
class PopulatedBytes {
public:
    PopulatedBytes() = default;
    explicit PopulatedBytes(std::size_t bytes)
        : data_(static_cast<unsigned char*>(acquire_pages(bytes)), ReleasePages{bytes}),
          size_(data_ ? bytes : 0) {}
    unsigned char* get() const { return data_.get(); }
    std::size_t size() const { return size_; }

private:
    std::unique_ptr<unsigned char, ReleasePages> data_;
    std::size_t size_ = 0;
};

}  // namespace app::diagrams
