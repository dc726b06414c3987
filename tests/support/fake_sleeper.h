#pragma once
// A sleeper that records every pause and advances a virtual clock instead of
// waiting, so tests assert the exact pause sequence instantly.

#include <cstdint>
#include <functional>
#include <vector>

#include "core/link/sleeper.h"

namespace tavio::test {

class FakeSleeper final : public Sleeper {
 public:
  void SleepMs(uint32_t ms) override {
    pauses.push_back(ms);
    now_ms += ms;
    if (on_pause) on_pause(pauses.size() - 1, ms);
  }
  uint64_t TotalMs() const {
    uint64_t total = 0;
    for (uint32_t p : pauses) total += p;
    return total;
  }

  std::vector<uint32_t> pauses;
  uint64_t now_ms = 0;
  // Runs after each pause with its index and length: a test's chance to act
  // between exchanges, or while the program waits.
  std::function<void(size_t index, uint32_t ms)> on_pause;
};

}  // namespace tavio::test
