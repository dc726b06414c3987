#pragma once
// Mocked hidraw nodes for the real Linux back end. umockdev's testbed holds,
// per node, a USB device, the HID device under it (HID_ID and the sysfs
// report_descriptor file) and the hidraw
// node; the node answers the hidraw ioctls from a report descriptor the test
// chooses, and a simulated unit answers the reports written to it, as the
// kernel would deliver them for a numbered or an unnumbered device.
//
// The process must run with umockdev's preload library from its start
// (LD_PRELOAD=libumockdev-preload.so.0), and programs it starts while a bus
// exists see the same nodes.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/link/usb_link.h"
#include "sim/sim_unit.h"

typedef struct _UMockdevTestbed UMockdevTestbed;

namespace tavio::test {

// A vendor-defined collection with one input and one output report of the
// given lengths (report ID byte included, as Windows counts them); numbered:
// output report 1 and input report 2, else no report IDs.
std::vector<uint8_t> UnitReportDescriptor(bool numbered, uint32_t input_length = kReportSize,
                                          uint32_t output_length = kReportSize);

struct MockNode {
  std::string name = "hidraw0";  // under /dev
  uint16_t vendor_id = kUnitVendorId;
  uint16_t product_id = kProductLinkbox;
  bool numbered = true;
  // Empty: UnitReportDescriptor(numbered) with the unit's report lengths.
  std::vector<uint8_t> descriptor;
  // errno of a failing HIDIOCGRDESCSIZE or HIDIOCGRDESC; 0: they work.
  int descriptor_size_errno = 0;
  int descriptor_errno = 0;
  // The simulated unit behind the node; its faults may be set after Plug.
  sim::SimUnitConfig unit;
};

class MockHidBus {
 public:
  // Empty when mocked nodes work in this process, else why not.
  static std::string Unavailable();

  MockHidBus();
  ~MockHidBus();
  MockHidBus(const MockHidBus&) = delete;
  MockHidBus& operator=(const MockHidBus&) = delete;

  // Adds the node with its parents; each is announced (an "add" uevent).
  // Node names cannot be used twice in one bus.
  sim::SimUnit& Plug(MockNode node);
  // As a pulled cable: the "remove" uevent, the devices removed child
  // first, then the node hangs up (a waiting poll sees POLLHUP, a write
  // fails with ENODEV). Also announces a unit that vanished by a fault.
  void Unplug(const std::string& name);

  // The unit behind a node; touch it only while no program does I/O on it.
  sim::SimUnit& Unit(const std::string& name);
  // What the unit received and sent so far, safe while programs use it.
  std::vector<sim::TranscriptEntry> Transcript(const std::string& name);
  // Requests each node received through its ioctls, as "NAME REQUEST" lines.
  std::vector<std::string> IoctlLog() const;
  std::string RootDir() const;

 struct Node;  // one mocked node; opaque outside the fixture

 private:
  Node& Find(const std::string& name);

  UMockdevTestbed* testbed_ = nullptr;
  std::vector<std::unique_ptr<Node>> nodes_;
  unsigned next_port_ = 1;
};

}  // namespace tavio::test
