#pragma once
// A HidPort over simulated interfaces: programming units (SimUnit), foreign
// HID devices and interfaces that refuse to open, listed in the order they
// were added. Interfaces can be plugged and unplugged at run time; each change
// is announced as a device notice through the notice callback.
//
// A unit that disappears by itself in the middle of I/O (an injected unplug)
// does not call back from inside that I/O: its removal notice waits until
// DeliverPendingNotices(), as a platform notice waits for the event loop.
//
// LastError() gives errno values: ENODEV after I/O on an unplugged device,
// ETIMEDOUT after a read without answer, EACCES or EIO after a refused open,
// ENOENT for an unknown path, EBADF for a closed handle, EINVAL for a report
// buffer whose length is not the device's report length, EIO when listing
// fails or the unit's answer came cut (the read then fails: a read gives a
// whole input report or an error).

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/device_notice.h"
#include "core/link/hid_port.h"
#include "sim/sim_unit.h"

namespace tavio::sim {

namespace errno_value {
inline constexpr uint32_t kNoEntry = 2;       // ENOENT
inline constexpr uint32_t kIo = 5;            // EIO
inline constexpr uint32_t kBadHandle = 9;     // EBADF
inline constexpr uint32_t kAccessDenied = 13; // EACCES
inline constexpr uint32_t kNoDevice = 19;     // ENODEV
inline constexpr uint32_t kInvalid = 22;      // EINVAL
inline constexpr uint32_t kTimedOut = 110;    // ETIMEDOUT
}  // namespace errno_value

// Report lengths of a foreign device; nothing ever talks to it.
inline constexpr uint32_t kForeignReportLength = 64;

class SimHidPort final : public HidPort {
 public:
  using NoticeCallback = std::function<void(const DeviceNotice&)>;

  // Adding an interface sends no notice; it is there (or not) from the start.
  SimUnit& AddUnit(std::string path, SimUnitConfig config = {}, bool present = true);
  void AddForeign(std::string path, uint16_t vendor_id, uint16_t product_id, bool present = true);
  // An interface that is listed but cannot be opened.
  void AddUnopenable(std::string path, uint16_t vendor_id, uint16_t product_id,
                     HidOpenStatus status, bool present = true);

  SimUnit* FindUnit(std::string_view path);
  // Arrival or removal, with its notice. False for an unknown path or when the
  // interface already is in that state.
  bool Plug(std::string_view path);
  bool Unplug(std::string_view path);
  void SetNoticeCallback(NoticeCallback callback) { on_notice_ = std::move(callback); }
  // Sends any notice, e.g. one whose name differs in letter case.
  void SendNotice(const DeviceNotice& notice);
  void DeliverPendingNotices();
  size_t PendingNoticeCount() const { return pending_notices_.size(); }

  void SetListFails(bool fails) { list_fails_ = fails; }
  // Whose refusals its own stand for: a hidraw node's unless told otherwise.
  void SetAccessRemedy(DeniedAccessRemedy remedy) { remedy_ = remedy; }
  size_t OpenHandleCount() const { return handles_.size(); }
  // One line per port call: "list", "open PATH -> 3", "open PATH refused",
  // "lengths 3", "write 3", "read 3", "close 3".
  const std::vector<std::string>& CallLog() const { return call_log_; }
  void ClearCallLog() { call_log_.clear(); }

  // HidPort
  bool ListInterfaces(std::vector<HidInterface>& out) override;
  HidOpenStatus Open(const std::string& path, HidHandle& handle) override;
  bool GetReportLengths(HidHandle handle, uint32_t& input_length, uint32_t& output_length) override;
  bool WriteReport(HidHandle handle, std::span<const uint8_t> report) override;
  HidReadStatus ReadReport(HidHandle handle, std::span<uint8_t> report, int timeout_ms) override;
  void Close(HidHandle handle) override;
  uint32_t LastError() const override { return last_error_; }
  DeniedAccessRemedy AccessRemedy() const override { return remedy_; }

 private:
  struct Interface {
    std::string path;
    uint16_t vendor_id = 0;
    uint16_t product_id = 0;
    HidOpenStatus open_status = HidOpenStatus::Ok;
    std::unique_ptr<SimUnit> unit;
    bool present = true;
    uint32_t plug_epoch = 0;  // handles opened before the last unplug stay dead
  };
  struct OpenHandle {
    size_t index = 0;
    uint32_t plug_epoch = 0;
  };

  Interface* Find(std::string_view path);
  // The interface behind a live handle; sets the error value otherwise.
  Interface* Live(HidHandle handle);
  void Notice(uint32_t event, const std::string& path);
  // A unit gone by an injected fault is unplugged, its notice kept for later.
  void NoteVanishedUnits();
  bool Fail(uint32_t error) {
    last_error_ = error;
    return false;
  }

  std::vector<Interface> interfaces_;
  std::map<HidHandle, OpenHandle> handles_;
  HidHandle next_handle_ = 1;
  bool list_fails_ = false;
  DeniedAccessRemedy remedy_ = DeniedAccessRemedy::UdevRule;
  uint32_t last_error_ = 0;
  NoticeCallback on_notice_;
  std::vector<DeviceNotice> pending_notices_;
  std::vector<std::string> call_log_;
};

}  // namespace tavio::sim
