#pragma once
// Every pause of the device link goes through a Sleeper, so tests see the
// exact sequence of pauses without waiting for them.

#include <chrono>
#include <cstdint>
#include <thread>

namespace tavio {

class Sleeper {
 public:
  virtual ~Sleeper() = default;
  virtual void SleepMs(uint32_t ms) = 0;
};

class RealSleeper final : public Sleeper {
 public:
  void SleepMs(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

}  // namespace tavio
