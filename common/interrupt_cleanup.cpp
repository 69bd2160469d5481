#include "common/interrupt_cleanup.h"

#include <atomic>
#include <cstring>

namespace {

// A fixed table, so that the handler needs no allocation and no lock: a slot
// is free, being filled by its registering thread, or armed.
enum SlotState : int { kFree, kFilling, kArmed };

constexpr int kSlotCount = 16;
constexpr std::size_t kMaxPathBytes = 4096;

struct Slot {
    std::atomic<int> state{kFree};
    char path[kMaxPathBytes];
};

Slot slots[kSlotCount];

} // namespace

int RegisterForInterruptRemoval(const std::string& path) {
    if (path.empty() || path.size() >= kMaxPathBytes) return -1;
    for (int i = 0; i < kSlotCount; ++i) {
        int expected = kFree;
        if (!slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
        slots[i].state.store(kArmed, std::memory_order_release);
        return i;
    }
    return -1;
}

void UnregisterInterruptRemoval(int slot) {
    if (slot >= 0 && slot < kSlotCount) slots[slot].state.store(kFree, std::memory_order_release);
}

namespace interrupt_cleanup_detail {

void RemoveRegisteredFiles() {
    for (Slot& slot : slots)
        if (slot.state.load(std::memory_order_acquire) == kArmed) RemoveFileNow(slot.path);
}

} // namespace interrupt_cleanup_detail
