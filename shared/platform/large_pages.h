#pragma once

#include <cstddef>
#include <new>

#include "shared/platform/native.h"

namespace tlv::port {

// The size of a large page, and the least room worth preparing.
inline constexpr size_t kLargePage = size_t{2} << 20;

// Storage for a few megabytes filled at once (the waypoint records): room of
// a large page or more starts on a large-page boundary, is rounded up to whole
// large pages and is made ready in one step (native::prepare_pages), so that
// the system can back all of it with large pages.
template <typename T>
struct LargePageAllocator {
    using value_type = T;
    LargePageAllocator() = default;
    template <typename U>
    LargePageAllocator(const LargePageAllocator<U>&) {}

    T* allocate(size_t n) {
        const size_t bytes = n * sizeof(T);
        if (bytes < kLargePage) return static_cast<T*>(::operator new(bytes));
        const size_t whole = (bytes + kLargePage - 1) / kLargePage * kLargePage;
        void* room = ::operator new (whole, std::align_val_t{kLargePage});
        native::prepare_pages(room, whole);
        return static_cast<T*>(room);
    }
    void deallocate(T* room, size_t n) {
        if (n * sizeof(T) < kLargePage) return ::operator delete(room);
        ::operator delete (room, std::align_val_t{kLargePage});
    }
    friend bool operator==(const LargePageAllocator&, const LargePageAllocator&) { return true; }
};

}  // namespace tlv::port
