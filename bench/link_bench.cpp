// Readout, write, verified store and identification over the simulated unit
// with the real sleeper. The pauses set a floor (60 ms per readout, 1140 ms
// per write, 1220 ms per store with its read-back); the "ratio" counter is
// the measured time over that floor.

#include <benchmark/benchmark.h>

#include <chrono>

#include "core/files/defaults.h"
#include "core/link/protocol.h"
#include "core/link/transfer.h"
#include "sim/sim_hid_port.h"

namespace tavio {
namespace {

constexpr const char* kPath = "/dev/hidraw-bench";

struct Rig {
  explicit Rig(uint16_t family, uint16_t version) {
    sim::SimUnitConfig config;
    config.family = family;
    config.param_version = version;
    port.AddUnit(kPath, config);
    link.port = &port;
    link.sleeper = &sleeper;
  }
  sim::SimHidPort port;
  RealSleeper sleeper;
  UsbLink link;
};

// Family and version giving each block length.
struct BlockCase {
  uint16_t family;
  uint16_t version;
};
constexpr BlockCase kBlocks[] = {{kFamilyBrenta, kParamVersion80B},          // 80 bytes
                                 {kFamilyDelmarZ, kParamVersionAlderDelmar}, // 88 bytes
                                 {kFamilyBrenta, kParamVersion92B}};         // 92 bytes

void ReportRatio(benchmark::State& state, double floor_ms, double total_ms) {
  const double per_run = total_ms / static_cast<double>(state.iterations());
  state.counters["ms"] = per_run;
  state.counters["floor_ms"] = floor_ms;
  state.counters["ratio"] = per_run / floor_ms;
}

void BM_Readout(benchmark::State& state) {
  const BlockCase c = kBlocks[state.range(0)];
  Rig rig(c.family, c.version);
  if (OpenUsbLink(rig.link) != kResultOk) state.SkipWithError("no simulated unit");
  double total_ms = 0;
  uint16_t length = 0;
  for (auto _ : state) {
    ConfigImage image;
    const auto start = std::chrono::steady_clock::now();
    length = ReadConfiguration(rig.link, image, nullptr);
    total_ms += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    benchmark::DoNotOptimize(image);
  }
  state.SetLabel(std::to_string(length) + " bytes");
  ReportRatio(state, 3 * kPauseMs, total_ms);  // 4 + 48 + the rest: three pieces
}
BENCHMARK(BM_Readout)->DenseRange(0, 2)->Iterations(10)->Unit(benchmark::kMillisecond)->UseRealTime();

// Times `send` (true: it went through) over a connected rig whose block was
// read once, against `floor_ms` of pauses.
template <typename Send>
void TimeSending(benchmark::State& state, double floor_ms, Send send) {
  const BlockCase c = kBlocks[state.range(0)];
  Rig rig(c.family, c.version);
  if (OpenUsbLink(rig.link) != kResultOk) state.SkipWithError("no simulated unit");
  ConfigImage image;
  ReadConfiguration(rig.link, image, nullptr);
  double total_ms = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const bool ok = send(rig.link, image);
    total_ms += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (!ok) state.SkipWithError("sending failed");
  }
  state.SetLabel(std::to_string(BlockLength(image)) + " bytes");
  ReportRatio(state, floor_ms, total_ms);
}

// Seven 20 ms pauses (lock, flash access, erase, assign, two blocks, flash
// access) and the erase's 1000 ms.
constexpr double kWriteFloorMs = 7 * kPauseMs + kEraseWaitMs;

void BM_Write(benchmark::State& state) {
  TimeSending(state, kWriteFloorMs,
              [](UsbLink& link, ConfigImage& image) { return WriteConfiguration(link, image, nullptr); });
}
BENCHMARK(BM_Write)->DenseRange(0, 2)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The write's floor, a pause after the unlock and the read-back's three; the
// target is a ratio of at most 1.05.
void BM_Store(benchmark::State& state) {
  TimeSending(state, kWriteFloorMs + kPauseMs + 3 * kPauseMs, [](UsbLink& link, ConfigImage& image) {
    return StoreConfiguration(link, image, nullptr).outcome == StoreOutcome::Stored;
  });
}
BENCHMARK(BM_Store)->DenseRange(0, 2)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Identification(benchmark::State& state) {
  Rig rig(kFamilyBrenta, kParamVersion92B);
  for (auto _ : state) {
    const int32_t result = OpenUsbLink(rig.link);
    if (result != kResultOk) state.SkipWithError("identification failed");
    CloseUsbLink(rig.link);
  }
}
BENCHMARK(BM_Identification)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tavio
