#include "platform/umockdev/mock_hid_bus.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <linux/input.h>
#include <umockdev.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <cstring>
#include <mutex>
#include <stdexcept>

#include "core/link/protocol.h"

namespace tavio::test {
namespace {

// The largest descriptor hidraw hands out; a request above it is refused.
constexpr uint32_t kMaxDescriptorRequest = HID_MAX_DESCRIPTOR_SIZE - 1;

void Append(std::vector<uint8_t>& out, std::initializer_list<uint8_t> bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

// One number in printf's notation, e.g. Format("%04x", 0x7A3E) == "7a3e".
std::string Format(const char* format, unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// Bytes as umockdev's binary attributes take them: two hex digits each.
std::string HexDigits(const std::vector<uint8_t>& bytes) {
  std::string text;
  for (uint8_t b : bytes) text += Format("%02x", b);
  return text;
}

}  // namespace

std::vector<uint8_t> UnitReportDescriptor(bool numbered, uint32_t input_length, uint32_t output_length) {
  std::vector<uint8_t> d;
  Append(d, {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01});  // vendor page, application collection
  Append(d, {0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08});  // bytes 0..255
  if (numbered) Append(d, {0x85, kInputReportId});
  Append(d, {0x09, 0x01, 0x96, static_cast<uint8_t>((input_length - 1) & 0xFF),
             static_cast<uint8_t>((input_length - 1) >> 8), 0x81, 0x02});
  if (numbered) Append(d, {0x85, kOutputReportId});
  Append(d, {0x09, 0x01, 0x96, static_cast<uint8_t>((output_length - 1) & 0xFF),
             static_cast<uint8_t>((output_length - 1) >> 8), 0x91, 0x02});
  Append(d, {0xC0});
  return d;
}

// Everything below `mutex` is shared with umockdev's worker thread, which
// runs the handlers while the test thread waits in the back end's I/O.
struct MockHidBus::Node {
  MockNode spec;
  std::string usb_path, hid_path, hidraw_path;
  UMockdevIoctlBase* handler = nullptr;
  int master = -1;

  std::mutex mutex;
  sim::SimUnit unit;
  bool hung_up = false;
  bool removed = false;
  std::vector<std::string> ioctl_log;

  explicit Node(MockNode node) : spec(std::move(node)), unit(spec.unit) {}

  // Closing the last master end hangs the node up. The testbed closes its
  // master again when it goes, so the number is kept on /dev/null rather
  // than freed for another descriptor to take.
  void HangUp() {
    if (hung_up) return;
    hung_up = true;
    const int null_fd = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null_fd >= 0) {
      ::dup2(null_fd, master);
      ::close(null_fd);
    }
  }

  // The answer as hidraw delivers it: an unnumbered report without ID byte.
  void DeliverAnswer() {
    std::vector<uint8_t> report(unit.config().input_report_length);
    switch (unit.AnswerReport(report)) {
      case sim::UnitReadStatus::Ok: break;
      case sim::UnitReadStatus::Cut: report.resize(report.size() / 2); break;  // a short report
      case sim::UnitReadStatus::NoAnswer: return;
      case sim::UnitReadStatus::Gone: HangUp(); return;
    }
    const size_t skip = spec.numbered || report.empty() ? 0 : 1;
    const ssize_t written = ::write(master, report.data() + skip, report.size() - skip);
    if (written != static_cast<ssize_t>(report.size() - skip)) std::fprintf(stderr, "mock hidraw: answer lost\n");
  }

  // hidraw sends the buffer as the output report; a leading 0 is the
  // "no report ID" byte and does not reach the device.
  long Write(const uint8_t* data, size_t length, int& error) {
    if (hung_up || !unit.Present()) {
      HangUp();
      error = ENODEV;
      return -1;
    }
    if (length == 0) {
      error = EINVAL;
      return -1;
    }
    std::vector<uint8_t> report;
    if (spec.numbered) {
      report.assign(data, data + length);
    } else {
      const size_t skip = data[0] == 0 ? 1 : 0;
      report.push_back(kOutputReportId);
      report.insert(report.end(), data + skip, data + length);
    }
    if (!unit.ReceiveReport(report)) {
      HangUp();
      error = ENODEV;
      return -1;
    }
    DeliverAnswer();
    return static_cast<long>(length);
  }

  long Ioctl(unsigned long request, UMockdevIoctlData* arg, int& error) {
    const uint32_t size = _IOC_SIZE(request);
    GError* resolve_error = nullptr;
    UMockdevIoctlData* data = size == 0 ? nullptr : umockdev_ioctl_data_resolve(arg, 0, size, &resolve_error);
    if (resolve_error != nullptr) g_error_free(resolve_error);
    if (data == nullptr) {
      error = EFAULT;
      return -1;
    }
    const std::vector<uint8_t>& descriptor = spec.descriptor;
    if (request == HIDIOCGRDESCSIZE) {
      ioctl_log.push_back(spec.name + " HIDIOCGRDESCSIZE");
      if (spec.descriptor_size_errno != 0) {
        error = spec.descriptor_size_errno;
        return -1;
      }
      const int value = static_cast<int>(descriptor.size());
      std::memcpy(data->data, &value, sizeof value);
      return 0;
    }
    if (request == HIDIOCGRDESC) {
      uint32_t wanted = 0;
      std::memcpy(&wanted, data->data, sizeof wanted);
      ioctl_log.push_back(spec.name + " HIDIOCGRDESC " + std::to_string(wanted));
      if (spec.descriptor_errno != 0) {
        error = spec.descriptor_errno;
        return -1;
      }
      if (wanted > kMaxDescriptorRequest) {
        error = EINVAL;
        return -1;
      }
      const size_t n = std::min<size_t>(wanted, descriptor.size());
      std::memcpy(data->data + offsetof(hidraw_report_descriptor, value), descriptor.data(), n);
      return 0;
    }
    if (request == HIDIOCGRAWINFO) {
      ioctl_log.push_back(spec.name + " HIDIOCGRAWINFO");
      hidraw_devinfo info{};
      info.bustype = BUS_USB;
      info.vendor = static_cast<__s16>(spec.vendor_id);
      info.product = static_cast<__s16>(spec.product_id);
      std::memcpy(data->data, &info, sizeof info);
      return 0;
    }
    error = ENOTTY;
    return -1;
  }
};

namespace {

using Node = MockHidBus::Node;

gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer user_data) {
  Node& node = *static_cast<Node*>(user_data);
  int error = 0;
  long result = 0;
  {
    std::lock_guard lock(node.mutex);
    result = node.Ioctl(umockdev_ioctl_client_get_request(client), umockdev_ioctl_client_get_arg(client), error);
  }
  umockdev_ioctl_client_complete(client, result, result < 0 ? error : 0);
  return TRUE;
}

gboolean OnWrite(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer user_data) {
  Node& node = *static_cast<Node*>(user_data);
  UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
  int error = 0;
  long result = 0;
  {
    std::lock_guard lock(node.mutex);
    result = node.Write(arg->data, static_cast<size_t>(std::max(arg->data_len, 0)), error);
  }
  umockdev_ioctl_client_complete(client, result, result < 0 ? error : 0);
  return TRUE;
}

// A session begins when a program opens the node.
void OnConnected(UMockdevIoctlBase*, UMockdevIoctlClient*, gpointer user_data) {
  Node& node = *static_cast<Node*>(user_data);
  std::lock_guard lock(node.mutex);
  node.unit.BeginSession();
}

}  // namespace

std::string MockHidBus::Unavailable() {
  const char* preload = std::getenv("LD_PRELOAD");
  if (preload == nullptr || std::strstr(preload, "libumockdev-preload") == nullptr) {
    return "not started under LD_PRELOAD=libumockdev-preload.so.0";
  }
  return {};
}

MockHidBus::MockHidBus() {
  // A hang-up of a node must not end the program that opened it: the back
  // end opens without O_NOCTTY, so the node may be its controlling terminal.
  std::signal(SIGHUP, SIG_IGN);
  testbed_ = umockdev_testbed_new();
}

MockHidBus::~MockHidBus() {
  // The testbed stops its worker thread before the nodes its handlers use go.
  g_object_unref(testbed_);
  for (auto& node : nodes_) {
    if (node->handler != nullptr) g_object_unref(node->handler);
  }
}

std::string MockHidBus::RootDir() const {
  gchar* root = umockdev_testbed_get_root_dir(testbed_);
  std::string dir = root;
  g_free(root);
  return dir;
}

sim::SimUnit& MockHidBus::Plug(MockNode spec) {
  if (spec.descriptor.empty()) {
    spec.descriptor =
        UnitReportDescriptor(spec.numbered, spec.unit.input_report_length, spec.unit.output_report_length);
  }
  // Kept even when a step below fails: the testbed's handler refers to it.
  nodes_.push_back(std::make_unique<Node>(std::move(spec)));
  Node& node = *nodes_.back();
  const MockNode& s = node.spec;
  const unsigned port = next_port_++;
  const std::string ids = Format("%04X", s.vendor_id) + ":" + Format("%04X", s.product_id);
  node.usb_path = "/devices/pci0000:00/0000:00:14.0/usb1/1-" + std::to_string(port);
  node.hid_path = node.usb_path + "/1-" + std::to_string(port) + ":1.0/0003:" + ids + "." + Format("%04X", port);
  node.hidraw_path = node.hid_path + "/hidraw/" + s.name;
  const std::string hid_id = "0003:" + Format("%08X", s.vendor_id) + ":" + Format("%08X", s.product_id);

  // The HID parent carries the descriptor in sysfs too, as the kernel's
  // does: browsers list only nodes whose parent has it.
  // Parents first; only this form makes umockdev create the node itself,
  // and it announces each device ("add") as it goes. The ioctl handler is
  // in place before that, or a program quick to answer the arrival would
  // open a node that is only a terminal.
  const std::string record =
      "P: " + node.usb_path + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nA: idVendor=" + Format("%04x", s.vendor_id) +
      "\nA: idProduct=" + Format("%04x", s.product_id) + "\n\n" +
      "P: " + node.hid_path + "\nE: SUBSYSTEM=hid\nE: HID_ID=" + hid_id + "\nE: HID_NAME=Mock " + ids +
      "\nH: report_descriptor=" + HexDigits(s.descriptor) + "\n\n" +
      "P: " + node.hidraw_path + "\nN: " + s.name + "\nE: SUBSYSTEM=hidraw\nE: DEVNAME=/dev/" + s.name + "\n";
  node.handler = umockdev_ioctl_base_new();
  g_signal_connect(node.handler, "handle-ioctl", G_CALLBACK(OnIoctl), &node);
  g_signal_connect(node.handler, "handle-write", G_CALLBACK(OnWrite), &node);
  g_signal_connect(node.handler, "client-connected", G_CALLBACK(OnConnected), &node);
  GError* error = nullptr;
  const std::string dev = "/dev/" + s.name;
  if (!umockdev_testbed_attach_ioctl(testbed_, dev.c_str(), node.handler, &error)) {
    const std::string why = error != nullptr ? error->message : "unknown";
    if (error != nullptr) g_error_free(error);
    throw std::runtime_error("umockdev cannot serve " + dev + ": " + why);
  }
  {
    // A program may write as soon as the node exists: its handler waits
    // here until the node's master end is known.
    std::lock_guard lock(node.mutex);
    if (!umockdev_testbed_add_from_string(testbed_, record.c_str(), &error)) {
      const std::string why = error != nullptr ? error->message : "unknown";
      if (error != nullptr) g_error_free(error);
      throw std::runtime_error("umockdev cannot add " + s.name + ": " + why);
    }
    node.master = umockdev_testbed_get_dev_fd(testbed_, dev.c_str());
  }
  return node.unit;
}

void MockHidBus::Unplug(const std::string& name) {
  Node& node = Find(name);
  if (node.removed) return;
  node.removed = true;
  umockdev_testbed_uevent(testbed_, ("/sys" + node.hidraw_path).c_str(), "remove");
  for (const std::string* path : {&node.hidraw_path, &node.hid_path, &node.usb_path}) {
    umockdev_testbed_remove_device(testbed_, ("/sys" + *path).c_str());
  }
  std::lock_guard lock(node.mutex);
  node.HangUp();
  if (node.unit.Present()) node.unit.Disconnect();
}

MockHidBus::Node& MockHidBus::Find(const std::string& name) {
  for (auto& node : nodes_) {
    if (node->spec.name == name) return *node;
  }
  throw std::invalid_argument("no mocked node " + name);
}

sim::SimUnit& MockHidBus::Unit(const std::string& name) { return Find(name).unit; }

std::vector<sim::TranscriptEntry> MockHidBus::Transcript(const std::string& name) {
  Node& node = Find(name);
  std::lock_guard lock(node.mutex);
  return node.unit.Transcript();
}

std::vector<std::string> MockHidBus::IoctlLog() const {
  std::vector<std::string> log;
  for (const auto& node : nodes_) {
    std::lock_guard lock(node->mutex);
    log.insert(log.end(), node->ioctl_log.begin(), node->ioctl_log.end());
  }
  return log;
}

}  // namespace tavio::test
