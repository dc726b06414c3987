#include "sim/sim_hid_port.h"

namespace tavio::sim {

SimUnit& SimHidPort::AddUnit(std::string path, SimUnitConfig config, bool present) {
  Interface hid;
  hid.path = std::move(path);
  hid.vendor_id = kUnitVendorId;
  hid.product_id = config.product_id;
  hid.unit = std::make_unique<SimUnit>(std::move(config));
  hid.present = present;
  if (!present) hid.unit->Disconnect();
  interfaces_.push_back(std::move(hid));
  return *interfaces_.back().unit;
}

void SimHidPort::AddForeign(std::string path, uint16_t vendor_id, uint16_t product_id, bool present) {
  AddUnopenable(std::move(path), vendor_id, product_id, HidOpenStatus::Ok, present);
}

void SimHidPort::AddUnopenable(std::string path, uint16_t vendor_id, uint16_t product_id,
                               HidOpenStatus status, bool present) {
  Interface hid;
  hid.path = std::move(path);
  hid.vendor_id = vendor_id;
  hid.product_id = product_id;
  hid.open_status = status;
  hid.present = present;
  interfaces_.push_back(std::move(hid));
}

SimHidPort::Interface* SimHidPort::Find(std::string_view path) {
  for (Interface& hid : interfaces_) {
    if (hid.path == path) return &hid;
  }
  return nullptr;
}

SimUnit* SimHidPort::FindUnit(std::string_view path) {
  Interface* hid = Find(path);
  return hid != nullptr ? hid->unit.get() : nullptr;
}

void SimHidPort::Notice(uint32_t event, const std::string& path) {
  SendNotice(DeviceNotice{event, kDeviceTypeInterface, path});
}

void SimHidPort::SendNotice(const DeviceNotice& notice) {
  if (on_notice_) on_notice_(notice);
}

bool SimHidPort::Plug(std::string_view path) {
  Interface* hid = Find(path);
  if (hid == nullptr || hid->present) return false;
  hid->present = true;
  if (hid->unit) hid->unit->Reconnect();
  Notice(kDeviceArrival, hid->path);
  return true;
}

bool SimHidPort::Unplug(std::string_view path) {
  NoteVanishedUnits();
  Interface* hid = Find(path);
  if (hid == nullptr || !hid->present) return false;
  hid->present = false;
  ++hid->plug_epoch;
  if (hid->unit) hid->unit->Disconnect();
  Notice(kDeviceRemoveComplete, hid->path);
  return true;
}

void SimHidPort::NoteVanishedUnits() {
  for (Interface& hid : interfaces_) {
    if (hid.present && hid.unit && !hid.unit->Present()) {
      hid.present = false;
      ++hid.plug_epoch;
      pending_notices_.push_back(DeviceNotice{kDeviceRemoveComplete, kDeviceTypeInterface, hid.path});
    }
  }
}

void SimHidPort::DeliverPendingNotices() {
  NoteVanishedUnits();
  // A callback may plug or unplug again; take the list first.
  std::vector<DeviceNotice> notices;
  notices.swap(pending_notices_);
  for (const DeviceNotice& notice : notices) SendNotice(notice);
}

bool SimHidPort::ListInterfaces(std::vector<HidInterface>& out) {
  call_log_.push_back("list");
  NoteVanishedUnits();
  if (list_fails_) return Fail(errno_value::kIo);
  out.clear();
  for (const Interface& hid : interfaces_) {
    if (hid.present) out.push_back(HidInterface{hid.path, hid.vendor_id, hid.product_id});
  }
  return true;
}

HidOpenStatus SimHidPort::Open(const std::string& path, HidHandle& handle) {
  NoteVanishedUnits();
  Interface* hid = Find(path);
  HidOpenStatus status = HidOpenStatus::Ok;
  uint32_t error = 0;
  if (hid == nullptr || !hid->present) {
    status = HidOpenStatus::Failed;
    error = errno_value::kNoEntry;
  } else {
    status = hid->unit ? hid->unit->faults().open_status : hid->open_status;
    if (status == HidOpenStatus::AccessDenied) error = errno_value::kAccessDenied;
    if (status == HidOpenStatus::Failed) error = errno_value::kIo;
  }
  if (status != HidOpenStatus::Ok) {
    call_log_.push_back("open " + path + " refused");
    last_error_ = error;
    return status;
  }
  handle = next_handle_++;
  const size_t index = static_cast<size_t>(hid - interfaces_.data());
  handles_[handle] = OpenHandle{index, hid->plug_epoch};
  if (hid->unit) hid->unit->BeginSession();
  call_log_.push_back("open " + path + " -> " + std::to_string(handle));
  return HidOpenStatus::Ok;
}

SimHidPort::Interface* SimHidPort::Live(HidHandle handle) {
  NoteVanishedUnits();
  const auto it = handles_.find(handle);
  if (it == handles_.end()) {
    last_error_ = errno_value::kBadHandle;
    return nullptr;
  }
  Interface& hid = interfaces_[it->second.index];
  if (!hid.present || hid.plug_epoch != it->second.plug_epoch) {
    last_error_ = errno_value::kNoDevice;
    return nullptr;
  }
  return &hid;
}

bool SimHidPort::GetReportLengths(HidHandle handle, uint32_t& input_length, uint32_t& output_length) {
  call_log_.push_back("lengths " + std::to_string(handle));
  Interface* hid = Live(handle);
  if (hid == nullptr) return false;
  if (!hid->unit) {
    input_length = output_length = kForeignReportLength;
    return true;
  }
  if (hid->unit->faults().report_lengths_fail) return Fail(errno_value::kIo);
  input_length = hid->unit->config().input_report_length;
  output_length = hid->unit->config().output_report_length;
  return true;
}

bool SimHidPort::WriteReport(HidHandle handle, std::span<const uint8_t> report) {
  call_log_.push_back("write " + std::to_string(handle));
  Interface* hid = Live(handle);
  if (hid == nullptr) return false;
  if (!hid->unit) return true;  // a foreign device swallows it
  if (report.size() != hid->unit->config().output_report_length) return Fail(errno_value::kInvalid);
  const bool received = hid->unit->ReceiveReport(report);
  NoteVanishedUnits();
  return received || Fail(errno_value::kNoDevice);
}

HidReadStatus SimHidPort::ReadReport(HidHandle handle, std::span<uint8_t> report, int /*timeout_ms*/) {
  call_log_.push_back("read " + std::to_string(handle));
  Interface* hid = Live(handle);
  if (hid == nullptr) return HidReadStatus::Failed;
  if (!hid->unit) {
    last_error_ = errno_value::kTimedOut;
    return HidReadStatus::Timeout;
  }
  if (report.size() != hid->unit->config().input_report_length) {
    last_error_ = errno_value::kInvalid;
    return HidReadStatus::Failed;
  }
  // The simulated wait ends at once: a missing answer is known immediately.
  const UnitReadStatus status = hid->unit->AnswerReport(report);
  NoteVanishedUnits();
  switch (status) {
    case UnitReadStatus::Ok: return HidReadStatus::Ok;
    case UnitReadStatus::NoAnswer: last_error_ = errno_value::kTimedOut; return HidReadStatus::Timeout;
    case UnitReadStatus::Gone: last_error_ = errno_value::kNoDevice; return HidReadStatus::Failed;
    // A cut report is no report: nothing of it may pass for data.
    case UnitReadStatus::Cut: last_error_ = errno_value::kIo; return HidReadStatus::Failed;
  }
  return HidReadStatus::Failed;
}

void SimHidPort::Close(HidHandle handle) {
  call_log_.push_back("close " + std::to_string(handle));
  handles_.erase(handle);
}

}  // namespace tavio::sim
