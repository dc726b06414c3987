// The WebHID port over a scripted browser: what it asks the browser, the
// report IDs in both layouts, reads with the core's time-out, disconnects,
// and the core identifying a simulated unit through it.

#include <gtest/gtest.h>

#include <cerrno>
#include <algorithm>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "core/link/protocol.h"
#include "core/link/usb_link.h"
#include "platform/web/web_hid_port.h"
#include "sim/sim_unit.h"
#include "support/hex.h"

namespace tavio::test {
namespace {

constexpr auto kIn = WebHidReportKind::Input;
constexpr auto kOut = WebHidReportKind::Output;

// A browser with scripted devices and a clock that moves only while the
// port waits. Every call that reaches the browser is logged.
class ScriptedBrowser final : public WebHidBridge {
 public:
  struct Device {
    WebHidDevice info;
    std::vector<WebHidReport> reports;
    WebHidOpenResult open_result = WebHidOpenResult::Ok;
    bool open = false;
    bool gone = false;
    std::deque<WebHidInput> queue;
    // Answers what is sent, as the unit would; null: nothing answers.
    sim::SimUnit* unit = nullptr;
    bool numbered = true;
  };
  // Something that happens at a time: an input report or a disconnect.
  struct Event {
    double at_ms;
    uint32_t id;
    std::optional<WebHidInput> input;  // none: the device disconnects
  };

  Device& Add(uint32_t id, uint16_t product_id, bool numbered) {
    Device& d = devices[id];
    d.info = WebHidDevice{id, kUnitVendorId, product_id};
    d.numbered = numbered;
    d.reports = {{kIn, static_cast<uint8_t>(numbered ? 2 : 0), 59 * 8},
                 {kOut, static_cast<uint8_t>(numbered ? 1 : 0), 59 * 8}};
    return d;
  }
  void At(double at_ms, uint32_t id, std::optional<WebHidInput> input) { events.push_back({at_ms, id, input}); }

  bool GrantedDevices(std::vector<WebHidDevice>& out) override {
    log.push_back("granted");
    if (!has_webhid) return false;
    out.clear();
    for (const auto& [id, d] : devices) {
      if (!d.gone) out.push_back(d.info);
    }
    return true;
  }
  WebHidOpenResult Open(uint32_t id) override {
    log.push_back("open " + std::to_string(id));
    Device& d = devices.at(id);
    d.open = d.open_result == WebHidOpenResult::Ok;
    return d.open_result;
  }
  bool Reports(uint32_t id, std::vector<WebHidReport>& out) override {
    out = devices.at(id).reports;
    return true;
  }
  bool Send(uint32_t id, uint8_t report_id, std::span<const uint8_t> data) override {
    log.push_back("send " + std::to_string(id) + " id " + std::to_string(report_id) + ": " + ToHex(data));
    Device& d = devices.at(id);
    if (d.gone || !send_works) return false;
    if (d.unit != nullptr) {
      // The unit sees whole reports: its own ID first, whatever the layout.
      std::vector<uint8_t> report(data.size() + 1, kOutputReportId);
      std::copy(data.begin(), data.end(), report.begin() + 1);
      if (!d.unit->ReceiveReport(report)) return false;
      std::vector<uint8_t> answer(d.unit->config().input_report_length);
      if (d.unit->AnswerReport(answer) == sim::UnitReadStatus::Ok) {
        At(now + answer_delay_ms, id,
           WebHidInput{d.numbered ? answer[0] : uint8_t{0}, std::vector<uint8_t>(answer.begin() + 1, answer.end())});
      }
    }
    return true;
  }
  std::optional<WebHidInput> TakeInput(uint32_t id) override {
    Device& d = devices.at(id);
    if (d.queue.empty()) return std::nullopt;
    WebHidInput input = d.queue.front();
    d.queue.pop_front();
    return input;
  }
  bool Gone(uint32_t id) override { return devices.at(id).gone; }
  // Moves the clock to the first event within the wait, else by the wait.
  void Wait(uint32_t id, int timeout_ms) override {
    log.push_back("wait " + std::to_string(id) + " " + std::to_string(timeout_ms));
    EXPECT_GE(timeout_ms, 1);
    if (++waits > 100) {
      // A port that never gives up: end the loop so the test can fail.
      ADD_FAILURE() << "the port waits without end";
      devices.at(id).gone = true;
      return;
    }
    const double until = now + std::max(timeout_ms, 0);
    std::optional<double> next;
    for (const Event& e : events) {
      if (e.at_ms <= until && (!next || e.at_ms < *next)) next = e.at_ms;
    }
    now = next ? std::max(now, *next) : until;
    Deliver();
  }
  void Close(uint32_t id) override {
    log.push_back("close " + std::to_string(id));
    devices.at(id).open = false;
  }
  // The clock moves on by `tick_ms` with every reading, as time passes
  // between a port's steps.
  double NowMs() override {
    last_read = now;
    now += tick_ms;
    Deliver();
    return last_read;
  }

  // Events due by now reach their device.
  void Deliver() {
    for (auto it = events.begin(); it != events.end();) {
      if (it->at_ms > now) {
        ++it;
        continue;
      }
      Device& d = devices.at(it->id);
      if (it->input) {
        d.queue.push_back(*it->input);
      } else {
        d.gone = true;
      }
      it = events.erase(it);
    }
  }

  std::map<uint32_t, Device> devices;
  std::vector<Event> events;
  std::vector<std::string> log;
  double now = 5000;
  double tick_ms = 0;
  double last_read = 0;
  double answer_delay_ms = 2;
  bool has_webhid = true;
  bool send_works = true;
  int waits = 0;
};

WebHidInput Input(uint8_t report_id, size_t length, uint8_t first = 0xA0) {
  WebHidInput input{report_id, std::vector<uint8_t>(length)};
  for (size_t i = 0; i < length; ++i) input.data[i] = static_cast<uint8_t>(first + i);
  return input;
}

// Opens device 7 and forgets the calls that took.
HidHandle OpenSevenOn(ScriptedBrowser& b, WebHidPort& p, bool numbered) {
  b.Add(7, kProductLinkbox, numbered);
  HidHandle handle = kInvalidHidHandle;
  EXPECT_EQ(p.Open("webhid:7", handle), HidOpenStatus::Ok);
  b.log.clear();
  return handle;
}

class WebPortTest : public ::testing::Test {
 protected:
  HidHandle OpenSeven(bool numbered) { return OpenSevenOn(browser, port, numbered); }

  ScriptedBrowser browser;
  WebHidPort port{browser};
};

TEST_F(WebPortTest, ListsTheGrantedDevicesByTheirPaths) {
  browser.Add(4, kProductLinkpuck, true);
  browser.Add(9, kProductLinkbox, false).info.vendor_id = 0x1234;
  std::vector<HidInterface> found{{"stale", 1, 1}};
  ASSERT_TRUE(port.ListInterfaces(found));
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].path, "webhid:4");
  EXPECT_EQ(found[0].vendor_id, kUnitVendorId);
  EXPECT_EQ(found[0].product_id, kProductLinkpuck);
  EXPECT_EQ(found[1].path, "webhid:9");
  EXPECT_EQ(found[1].vendor_id, 0x1234);
  EXPECT_EQ(found[1].product_id, kProductLinkbox);

  browser.has_webhid = false;
  EXPECT_FALSE(port.ListInterfaces(found));
  EXPECT_TRUE(found.empty());
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ENOSYS));
}

TEST_F(WebPortTest, OpenSaysWhyNot) {
  struct Case {
    const char* what;
    std::string path;
    WebHidOpenResult browser_says;
    HidOpenStatus status;
    int error;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"granted", "webhid:7", WebHidOpenResult::Ok, HidOpenStatus::Ok, 0, {"open 7"}},
      // A refused permission is the user's to fix, so it is told apart.
      {"refused", "webhid:7", WebHidOpenResult::NotAllowed, HidOpenStatus::AccessDenied, EACCES, {"open 7"}},
      {"opened elsewhere", "webhid:7", WebHidOpenResult::Failed, HidOpenStatus::Failed, ENOENT, {"open 7"}},
      {"not a browser path", "/dev/hidraw7", WebHidOpenResult::Ok, HidOpenStatus::Failed, ENOENT, {}},
  };
  for (const Case& c : cases) {
    ScriptedBrowser b;
    b.Add(7, kProductLinkbox, true).open_result = c.browser_says;
    WebHidPort p(b);
    HidHandle handle = 99;
    EXPECT_EQ(p.Open(c.path, handle), c.status) << c.what;
    EXPECT_EQ(b.log, c.calls) << c.what;
    if (c.status == HidOpenStatus::Ok) {
      EXPECT_EQ(handle, 7) << c.what;
    } else {
      EXPECT_EQ(handle, kInvalidHidHandle) << c.what;
      EXPECT_EQ(p.LastError(), static_cast<uint32_t>(c.error)) << c.what;
    }
  }
}

TEST_F(WebPortTest, OneHandlePerDeviceAndClosedOnce) {
  const HidHandle handle = OpenSeven(true);
  HidHandle second = 0;
  EXPECT_EQ(port.Open("webhid:7", second), HidOpenStatus::Failed);
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(EBUSY));
  port.Close(handle);
  port.Close(handle);
  EXPECT_EQ(browser.log, (std::vector<std::string>{"close 7"}));
  uint32_t in = 0, out = 0;
  EXPECT_FALSE(port.GetReportLengths(handle, in, out));
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(EBADF));
}

TEST_F(WebPortTest, LengthsFromTheCollections) {
  browser.Add(7, kProductLinkbox, true).reports = {{kIn, 2, 31 * 8}, {kOut, 1, 63 * 8}};
  browser.Add(8, kProductLinkbox, true).reports = {{kIn, 0, 8}, {kOut, 1, 8}};
  HidHandle good = 0, bad = 0;
  ASSERT_EQ(port.Open("webhid:7", good), HidOpenStatus::Ok);
  ASSERT_EQ(port.Open("webhid:8", bad), HidOpenStatus::Ok);
  uint32_t in = 0, out = 0;
  ASSERT_TRUE(port.GetReportLengths(good, in, out));
  EXPECT_EQ(in, 32u);
  EXPECT_EQ(out, 64u);
  // Collections that give no lengths make the device unusable, not a guess.
  EXPECT_FALSE(port.GetReportLengths(bad, in, out));
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(EINVAL));
  const std::vector<uint8_t> report(64, 1);
  EXPECT_FALSE(port.WriteReport(bad, report));
  std::vector<uint8_t> answer(32);
  EXPECT_EQ(port.ReadReport(bad, answer, 0), HidReadStatus::Failed);
  EXPECT_EQ(browser.log, (std::vector<std::string>{"open 7", "open 8"}));
}

TEST_F(WebPortTest, WritesSendTheReportIdApartFromTheData) {
  // Byte 0 of the core's report is the ID; without report IDs it is only
  // its place and 0 goes to the browser.
  for (const bool numbered : {true, false}) {
    ScriptedBrowser b;
    WebHidPort p(b);
    b.Add(7, kProductLinkbox, numbered);
    HidHandle handle = 0;
    ASSERT_EQ(p.Open("webhid:7", handle), HidOpenStatus::Ok);
    EXPECT_TRUE(p.WriteReport(handle, Hex("01 08 00 00 3C")));
    EXPECT_FALSE(p.WriteReport(handle, {}));
    EXPECT_EQ(p.LastError(), static_cast<uint32_t>(EINVAL));
    b.send_works = false;
    EXPECT_FALSE(p.WriteReport(handle, Hex("01 0A")));
    EXPECT_EQ(p.LastError(), static_cast<uint32_t>(EIO));
    b.send_works = true;
    b.devices.at(7).gone = true;
    EXPECT_FALSE(p.WriteReport(handle, Hex("01 0B")));
    EXPECT_EQ(p.LastError(), static_cast<uint32_t>(ENODEV));
    const std::string id = numbered ? "1" : "0";
    EXPECT_EQ(b.log, (std::vector<std::string>{"open 7", "send 7 id " + id + ": 08 00 00 3C", "send 7 id " + id + ": 0A"}))
        << numbered;
  }
}

TEST_F(WebPortTest, ReadsAWholeReportOfTheRightId) {
  struct Case {
    const char* what;
    bool numbered;
    WebHidInput input;
    HidReadStatus status;
  };
  const Case cases[] = {
      {"numbered", true, Input(2, 59), HidReadStatus::Ok},
      {"numbered, another input report", true, Input(5, 59), HidReadStatus::Ok},
      {"unnumbered", false, Input(0, 59), HidReadStatus::Ok},
      {"numbered device, no ID", true, Input(0, 59), HidReadStatus::Failed},
      {"unnumbered device, an ID", false, Input(2, 59), HidReadStatus::Failed},
      {"short", true, Input(2, 58), HidReadStatus::Failed},
      {"long", false, Input(0, 60), HidReadStatus::Failed},
      {"empty", false, Input(0, 0), HidReadStatus::Failed},
  };
  for (const Case& c : cases) {
    ScriptedBrowser b;
    WebHidPort p(b);
    b.Add(7, kProductLinkbox, c.numbered).queue.push_back(c.input);
    HidHandle handle = 0;
    ASSERT_EQ(p.Open("webhid:7", handle), HidOpenStatus::Ok);
    std::vector<uint8_t> report(60, 0xEE);
    ASSERT_EQ(p.ReadReport(handle, report, 3000), c.status) << c.what;
    if (c.status == HidReadStatus::Ok) {
      const std::vector<uint8_t> id{c.input.report_id};
      EXPECT_EQ(ToHex(report), ToHex(id) + " " + ToHex(c.input.data)) << c.what;
    } else {
      EXPECT_EQ(p.LastError(), static_cast<uint32_t>(EIO)) << c.what;
    }
    // A queued report is taken at once, good or bad.
    EXPECT_EQ(b.now, 5000.0) << c.what;
    EXPECT_TRUE(b.devices.at(7).queue.empty()) << c.what;
  }
}

TEST_F(WebPortTest, ReadWaitsNoLongerThanItsTimeout) {
  struct Case {
    const char* what;
    int timeout_ms;
    std::optional<double> answer_after_ms;
    HidReadStatus status;
    double waited_ms;
    std::vector<std::string> waits;
  };
  const Case cases[] = {
      {"nothing comes", 3000, std::nullopt, HidReadStatus::Timeout, 3000, {"wait 7 3000"}},
      {"answer in time", 3000, 1200, HidReadStatus::Ok, 1200, {"wait 7 3000"}},
      {"answer at the last moment", 3000, 3000, HidReadStatus::Ok, 3000, {"wait 7 3000"}},
      {"answer too late", 3000, 3001, HidReadStatus::Timeout, 3000, {"wait 7 3000"}},
      {"no wait asked", 0, 1, HidReadStatus::Timeout, 0, {}},
      {"short wait", 20, std::nullopt, HidReadStatus::Timeout, 20, {"wait 7 20"}},
  };
  for (const Case& c : cases) {
    ScriptedBrowser b;
    WebHidPort p(b);
    const HidHandle handle = OpenSevenOn(b, p, true);
    if (c.answer_after_ms) b.At(b.now + *c.answer_after_ms, 7, Input(2, 59));
    std::vector<uint8_t> report(60);
    EXPECT_EQ(p.ReadReport(handle, report, c.timeout_ms), c.status) << c.what;
    EXPECT_EQ(b.now - 5000, c.waited_ms) << c.what;
    EXPECT_EQ(b.log, c.waits) << c.what;
    if (c.status == HidReadStatus::Timeout) {
      EXPECT_EQ(p.LastError(), static_cast<uint32_t>(ETIMEDOUT)) << c.what;
    }
  }
}

// The browser's clock has fractions and moves between the port's readings;
// the time-out is judged from the first reading to the last.
TEST_F(WebPortTest, ATimeoutIsNeverShorterThanAsked) {
  struct Case {
    double start_ms;
    double tick_ms;
    std::vector<std::string> waits;
  };
  const Case cases[] = {
      {5000.9, 0.2, {"wait 7 200"}},   // a millisecond boundary between readings
      {5000.0, 0.0, {"wait 7 200"}},
      {5000.5, 0.75, {"wait 7 200"}},  // the reading after the wait lands past the deadline
      {5000.99, 0.5, {"wait 7 200"}},
  };
  for (const Case& c : cases) {
    ScriptedBrowser b;
    WebHidPort p(b);
    const HidHandle handle = OpenSevenOn(b, p, true);
    b.now = c.start_ms;
    b.tick_ms = c.tick_ms;
    std::vector<uint8_t> report(60);
    ASSERT_EQ(p.ReadReport(handle, report, 200), HidReadStatus::Timeout) << c.start_ms;
    EXPECT_GE(b.last_read - c.start_ms, 200.0) << c.start_ms;
    EXPECT_EQ(b.log, c.waits) << c.start_ms;
  }
}

TEST_F(WebPortTest, ALateAnswerWaitsForTheNextRead) {
  const HidHandle handle = OpenSeven(true);
  browser.At(5000 + 3500, 7, Input(2, 59, 0x10));
  std::vector<uint8_t> report(60);
  EXPECT_EQ(port.ReadReport(handle, report, 3000), HidReadStatus::Timeout);
  EXPECT_EQ(port.ReadReport(handle, report, 3000), HidReadStatus::Ok);
  EXPECT_EQ(report[1], 0x10);
  EXPECT_EQ(browser.now, 8500.0);
}

TEST_F(WebPortTest, ADisconnectEndsTheWaitAtOnce) {
  const HidHandle handle = OpenSeven(true);
  // What came before the cable was pulled is still read; then the loss.
  browser.At(5010, 7, Input(2, 59));
  browser.At(5010, 7, std::nullopt);
  std::vector<uint8_t> report(60);
  EXPECT_EQ(port.ReadReport(handle, report, 3000), HidReadStatus::Ok);
  EXPECT_EQ(port.ReadReport(handle, report, 3000), HidReadStatus::Failed);
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ENODEV));
  EXPECT_EQ(browser.now, 5010.0);
  EXPECT_FALSE(port.WriteReport(handle, Hex("01 08")));
  EXPECT_EQ(port.LastError(), static_cast<uint32_t>(ENODEV));
  EXPECT_EQ(browser.log, (std::vector<std::string>{"wait 7 3000"}));
}

// The core identifies the unit through the port, for both units and both
// layouts, and the unit receives exactly what it does over hidraw.
TEST_F(WebPortTest, TheCoreIdentifiesUnitsInBothLayouts) {
  for (const uint16_t product : {kProductLinkbox, kProductLinkpuck}) {
    for (const bool numbered : {true, false}) {
      sim::SimUnitConfig config;
      config.product_id = product;
      sim::SimUnit unit(config);
      ScriptedBrowser b;
      b.Add(3, product, numbered).unit = &unit;
      WebHidPort p(b);
      UsbLink link;
      link.port = &p;
      ASSERT_EQ(OpenUsbLink(link), kResultOk) << product << numbered;
      EXPECT_EQ(link.info.unit_product_id, product);
      EXPECT_EQ(link.device_path, "webhid:3");
      EXPECT_EQ(link.input_report_length, 60u);
      EXPECT_EQ(link.output_report_length, 60u);
      EXPECT_EQ(link.info.esc_state, kEscStateUpdatable);
      // Every request reached the unit whole, each answer in its own wait.
      size_t sends = 0, waits = 0;
      for (const std::string& call : b.log) {
        if (call.starts_with("send 3 id " + std::string(numbered ? "1" : "0") + ": ")) ++sends;
        if (call == "wait 3 3000") ++waits;
      }
      size_t requests = 0;
      for (const sim::TranscriptEntry& e : unit.Transcript()) {
        if (e.direction == sim::ReportDirection::ToUnit) {
          ++requests;
          EXPECT_EQ(e.bytes.size(), 60u);
          EXPECT_EQ(e.bytes[0], kOutputReportId);
        }
      }
      EXPECT_GT(requests, 0u);
      EXPECT_EQ(sends, requests);
      EXPECT_EQ(waits, requests);
      CloseUsbLink(link);
      EXPECT_EQ(b.log.back(), "close 3");
    }
  }
}

}  // namespace
}  // namespace tavio::test
