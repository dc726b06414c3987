// A programming unit that answers every request with arbitrary bytes,
// lengths, failures and time-outs: start-up, a store on the ESC and a second
// readout must never crash or touch memory outside the image and the report
// buffers, and every reported failure must leave the connection closed.

#include <algorithm>
#include <cstdlib>
#include <span>

#include "core/shell/commands.h"
#include "core/link/transfer.h"
#include "core/shell/connection.h"
#include "fakes.h"

namespace tavio {
namespace {

// Takes every decision from the fuzz input, one byte after another.
class FuzzHidPort final : public HidPort {
 public:
  FuzzHidPort(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool ListInterfaces(std::vector<HidInterface>& out) override {
    out.clear();
    if (Next() == 0xEE) return false;
    out.push_back({"/dev/hidraw0", kUnitVendorId, static_cast<uint16_t>(1 + (Next() & 1))});
    return true;
  }
  HidOpenStatus Open(const std::string&, HidHandle& handle) override {
    if (Next() == 0xEE) return HidOpenStatus::Failed;
    handle = 7;
    ++open_handles;
    return HidOpenStatus::Ok;
  }
  bool GetReportLengths(HidHandle, uint32_t& input_length, uint32_t& output_length) override {
    // Mostly the real 60/60, sometimes anything up to 80.
    const uint8_t choice = Next();
    input_length = choice < 0xC0 ? 60 : Next() % 81;
    output_length = choice < 0xC0 ? 60 : Next() % 81;
    return choice != 0xEE;
  }
  bool WriteReport(HidHandle, std::span<const uint8_t> report) override {
    if (report.size() > kReportSize) std::abort();
    return Next() != 0xEE;
  }
  HidReadStatus ReadReport(HidHandle, std::span<uint8_t> report, int) override {
    if (report.size() > kReportSize) std::abort();
    const uint8_t choice = Next();
    if (choice == 0xEE) return HidReadStatus::Failed;
    if (choice == 0xED) return HidReadStatus::Timeout;
    for (size_t i = 1; i < report.size(); ++i) report[i] = Next();
    return HidReadStatus::Ok;
  }
  void Close(HidHandle) override { --open_handles; }
  uint32_t LastError() const override { return 5; }
  DeniedAccessRemedy AccessRemedy() const override { return DeniedAccessRemedy::UdevRule; }

  int open_handles = 0;

 private:
  uint8_t Next() { return pos_ < size_ ? data_[pos_++] : 0; }
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

void CheckClosedAfterFailure(const App& app, const fuzz::NullPanel& panel, const FuzzHidPort& port) {
  if (panel.comm_errors > 0 && (IsConnected(app.link) || port.open_handles != 0)) std::abort();
}

}  // namespace
}  // namespace tavio

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavio;
  FuzzHidPort port(data, size);
  fuzz::Rig rig(port);
  App& app = rig.app;
  const fuzz::NullPanel& panel = rig.panel;

  StartDeviceLink(app);
  CheckClosedAfterFailure(app, panel, port);
  if (IsConnected(app.link)) {
    StoreOnEsc(app);
    CheckClosedAfterFailure(app, panel, port);
  }
  if (IsConnected(app.link)) {
    ReadConfiguration(app.link, app.image, CommErrorReporterFor(app));
    CheckClosedAfterFailure(app, panel, port);
  }
  // Connected means the last readout succeeded, so its block fits the image
  // or is an erased one, 0xFF throughout.
  if (IsConnected(app.link) && BlockLength(app.image) > kImageSize && !IsErasedBlock(app.image)) std::abort();
  StopDeviceLink(app);
  if (port.open_handles != 0) std::abort();
  return 0;
}
