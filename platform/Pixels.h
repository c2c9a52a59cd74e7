// Pixel memory of the game's one format, 16-bit 5-6-5.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

// Pixel memory from calloc, whose fresh pages are zero already: nothing
// clears them a second time, and a picture's pages are first touched when
// the picture is written into them.
template <class T>
struct ZeroedAllocator {
    using value_type = T;
    ZeroedAllocator() = default;
    template <class U>
    ZeroedAllocator(const ZeroedAllocator<U>&) {}
    T* allocate(size_t n)
    {
        if (void* p = std::calloc(n, sizeof(T)))
            return static_cast<T*>(p);
        throw std::bad_alloc();
    }
    void deallocate(T* p, size_t) { std::free(p); }
    template <class U>
    void construct(U*) {}  // a new element: calloc made it zero
    template <class U, class... Args>
    void construct(U* p, Args&&... args) { ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...); }
    template <class U>
    bool operator==(const ZeroedAllocator<U>&) const { return true; }
    template <class U>
    bool operator!=(const ZeroedAllocator<U>&) const { return false; }
};
using Pixels = std::vector<uint16_t, ZeroedAllocator<uint16_t>>;

// A view of pixels to draw into: rows of `width` pixels end to end.
struct PixelBuffer {
    uint16_t* pixels;
    int width;
    int height;
    uint16_t* Row(int y) const { return pixels + static_cast<size_t>(y) * width; }
};
