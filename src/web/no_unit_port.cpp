// Without a WebHID back end the page finds no unit; the simulated one still runs.

#include "platform/platform.h"

namespace tavio {
namespace {

class NoUnitPort final : public HidPort {
 public:
  bool ListInterfaces(std::vector<HidInterface>& out) override {
    out.clear();
    return true;
  }
  HidOpenStatus Open(const std::string&, HidHandle& handle) override {
    handle = kInvalidHidHandle;
    return HidOpenStatus::Failed;
  }
  bool GetReportLengths(HidHandle, uint32_t&, uint32_t&) override { return false; }
  bool WriteReport(HidHandle, std::span<const uint8_t>) override { return false; }
  HidReadStatus ReadReport(HidHandle, std::span<uint8_t>, int) override { return HidReadStatus::Failed; }
  void Close(HidHandle) override {}
  uint32_t LastError() const override { return 0; }
};

}  // namespace

std::unique_ptr<HidPort> CreatePlatformHidPort() { return std::make_unique<NoUnitPort>(); }

}  // namespace tavio
