#pragma once
// An allocator for the catalogue's record blocks. A block of at least half a
// large page (2 MiB) is rounded up to whole large pages, allocated on a
// large-page boundary and offered to the
// kernel for transparent huge pages: a million records then cost some fifty
// page faults instead of twenty-five thousand, which on some machines is most
// of a load. Smaller requests go to the ordinary allocator.

#include <cstddef>
#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tavik {

inline constexpr std::size_t kLargePage = std::size_t{2} << 20;
inline constexpr std::size_t kLargePageFrom = kLargePage / 2;

template <class T>
struct LargePageAllocator {
    using value_type = T;

    LargePageAllocator() = default;
    template <class U>
    LargePageAllocator(const LargePageAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < kLargePageFrom) return static_cast<T*>(::operator new(bytes));
        const std::size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
        void* p = std::aligned_alloc(kLargePage, rounded);
        if (!p) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        ::madvise(p, rounded, MADV_HUGEPAGE);  // advice only: a refusal changes nothing
#endif
        return static_cast<T*>(p);
    }

    void deallocate(T* p, std::size_t n) noexcept {
        if (n * sizeof(T) < kLargePageFrom) {
            ::operator delete(p);
        } else {
            std::free(p);
        }
    }

    template <class U>
    bool operator==(const LargePageAllocator<U>&) const noexcept { return true; }
};

}  // namespace tavik
