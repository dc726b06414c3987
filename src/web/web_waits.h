#pragma once
// What the page waits on through Asyncify: the link's pauses, the hover rest
// and the browser storage the backups live in.

#include <memory>

#include "core/link/hid_port.h"
#include "core/link/sleeper.h"
#include "core/shell/window_calls.h"

namespace tavio::web {

// Pauses that let the page paint and take events meanwhile.
class PageSleeper final : public Sleeper {
 public:
  void SleepMs(uint32_t ms) override;
};

// The rest before hover help, on the page's timer.
class PageRestTimer final : public RestTimer {
 public:
  void Restart(std::chrono::milliseconds rest, Elapsed elapsed) override;
  void Cancel() override;
  bool Pending() const override { return pending_; }
  // The page's timer ran out.
  void Elapse();

 private:
  Elapsed elapsed_;
  bool pending_ = false;
};

// Returns once the page has drawn its window.
void AwaitFirstFrame();

// Writes what changed in the persistent folder into browser storage and
// waits until it is there; false when the storage refused it.
bool PersistChanges();

// A port that persists the storage before every report it writes: a backup
// made just before a store is in browser storage before the unit sees the
// store's first report, and a failed sync stops the store there.
class PersistingPort final : public HidPort {
 public:
  explicit PersistingPort(std::unique_ptr<HidPort> inner) : inner_(std::move(inner)) {}
  bool ListInterfaces(std::vector<HidInterface>& out) override { return inner_->ListInterfaces(out); }
  HidOpenStatus Open(const std::string& path, HidHandle& handle) override { return inner_->Open(path, handle); }
  bool GetReportLengths(HidHandle handle, uint32_t& input_length, uint32_t& output_length) override {
    return inner_->GetReportLengths(handle, input_length, output_length);
  }
  bool WriteReport(HidHandle handle, std::span<const uint8_t> report) override;
  HidReadStatus ReadReport(HidHandle handle, std::span<uint8_t> report, int timeout_ms) override {
    return inner_->ReadReport(handle, report, timeout_ms);
  }
  void Close(HidHandle handle) override { inner_->Close(handle); }
  uint32_t LastError() const override { return inner_->LastError(); }
  DeniedAccessRemedy AccessRemedy() const override { return inner_->AccessRemedy(); }
  HidPort& inner() { return *inner_; }

 private:
  std::unique_ptr<HidPort> inner_;
};

}  // namespace tavio::web
