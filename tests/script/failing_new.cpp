#include "failing_new.h"

#include <cstdlib>
#include <new>

std::atomic<long> tarn::test::g_new_countdown{-1};

void* operator new(std::size_t n) {
    auto& countdown = tarn::test::g_new_countdown;
    if (countdown.load() >= 0 && countdown.fetch_sub(1) == 0) throw std::bad_alloc();
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
// The pair of the malloc above (the compiler cannot see they match).
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
