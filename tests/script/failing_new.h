// Real allocation failures for tests: this test binary's operator new
// throws std::bad_alloc at the n-th allocation from the moment it is armed.
#pragma once

#include <atomic>

namespace tarn::test {

// Allocations left before the failing one; -1 disarmed. Reads below zero
// after a run mean the failure happened.
extern std::atomic<long> g_new_countdown;

}  // namespace tarn::test
