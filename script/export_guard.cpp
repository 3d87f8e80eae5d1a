#include "export_guard.h"

#include <new>

namespace tarn {

std::atomic<int> g_injected_faults{0};

void InjectedFault() {
    if (g_injected_faults.fetch_sub(1, std::memory_order_relaxed) > 0) throw std::bad_alloc();
}

}  // namespace tarn
