#pragma once
// A hover rest that never elapses by itself: the test fires it.

#include <chrono>
#include <optional>
#include <utility>

#include "core/shell/window_calls.h"

namespace tavio::test {

class ManualRestTimer final : public RestTimer {
 public:
  void Restart(std::chrono::milliseconds rest, Elapsed elapsed) override {
    pending = rest;
    ++restarts;
    elapsed_ = std::move(elapsed);
  }
  void Cancel() override { pending.reset(); }
  bool Pending() const override { return pending.has_value(); }
  void Fire() {
    if (!pending.has_value()) return;
    pending.reset();
    elapsed_();
  }
  std::optional<std::chrono::milliseconds> pending;
  int restarts = 0;

 private:
  Elapsed elapsed_;
};

}  // namespace tavio::test
