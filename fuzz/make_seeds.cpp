// Writes the seed corpora: a valid .bin file per family and version, and per
// family the byte stream that drives the device-link target through a whole
// successful session (recorded from the simulated unit).
// Usage: make_seeds CORPUS_DIR

#include <cstdio>
#include <string>
#include <vector>

#include "core/shell/commands.h"
#include "core/editors/field_rules.h"
#include "core/files/config_file.h"
#include "core/shell/connection.h"
#include "fakes.h"
#include "sim/sim_hid_port.h"

namespace tavio {
namespace {

// Passes every call to the simulated port and notes the byte the fuzz
// target's port would need to make the same decision.
class RecordingPort final : public HidPort {
 public:
  explicit RecordingPort(HidPort& inner) : inner_(inner) {}
  bool ListInterfaces(std::vector<HidInterface>& out) override {
    bytes.push_back(0x00);
    bytes.push_back(0x01);  // product 2, a LINKBOX
    return inner_.ListInterfaces(out);
  }
  HidOpenStatus Open(const std::string& path, HidHandle& handle) override {
    bytes.push_back(0x00);
    return inner_.Open(path, handle);
  }
  bool GetReportLengths(HidHandle h, uint32_t& in, uint32_t& out) override {
    bytes.push_back(0x00);  // the usual 60/60
    return inner_.GetReportLengths(h, in, out);
  }
  bool WriteReport(HidHandle h, std::span<const uint8_t> report) override {
    bytes.push_back(0x00);
    return inner_.WriteReport(h, report);
  }
  HidReadStatus ReadReport(HidHandle h, std::span<uint8_t> report, int timeout_ms) override {
    const HidReadStatus status = inner_.ReadReport(h, report, timeout_ms);
    bytes.push_back(0x00);
    for (size_t i = 1; i < report.size(); ++i) bytes.push_back(report[i]);
    return status;
  }
  void Close(HidHandle h) override { inner_.Close(h); }
  uint32_t LastError() const override { return inner_.LastError(); }
  DeniedAccessRemedy AccessRemedy() const override { return inner_.AccessRemedy(); }

  std::vector<uint8_t> bytes;

 private:
  HidPort& inner_;
};

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

}  // namespace
}  // namespace tavio

int main(int argc, char** argv) {
  using namespace tavio;
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  struct Case {
    const char* name;
    uint8_t family_index;  // the config-file target's choice of connected family
    uint16_t family;
    uint16_t version;
  };
  const Case cases[] = {{"alder", 0, kFamilyAlder, kParamVersionAlderDelmar},
                        {"brenta-0400", 1, kFamilyBrenta, kParamVersion80B},
                        {"brenta-0401", 1, kFamilyBrenta, kParamVersion92B},
                        {"corvan-0401", 2, kFamilyCorvan, kParamVersion92B},
                        {"delmar-z", 3, kFamilyDelmarZ, kParamVersionAlderDelmar}};
  for (const Case& c : cases) {
    sim::SimHidPort sim_port;
    sim::SimUnitConfig config;
    config.family = c.family;
    config.param_version = c.version;
    sim_port.AddUnit("/dev/hidraw0", config);
    RecordingPort port(sim_port);
    fuzz::Rig rig(port);
    App& app = rig.app;
    StartDeviceLink(app);
    StoreOnEsc(app);
    ReadConfiguration(app.link, app.image, CommErrorReporterFor(app));
    WriteFile(dir + "/device_link/" + c.name + ".bin", port.bytes);

    const auto file = EncodeConfigFile(c.family, app.image);
    std::vector<uint8_t> seed = {c.family_index, static_cast<uint8_t>(c.version), static_cast<uint8_t>(c.version >> 8)};
    seed.insert(seed.end(), file.begin(), file.end());
    WriteFile(dir + "/config_file/" + c.name + ".bin", seed);

    // Each field's own text as an entry, against this family's image.
    const auto ids = NumericFieldIds();
    const auto layout = SelectLayout(c.family, c.version);
    for (size_t i = 0; i < ids.size() && layout; ++i) {
      const auto text = FieldText(ids[i], *layout, app.image);
      if (!text) continue;
      std::vector<uint8_t> entry = {static_cast<uint8_t>(i), c.family_index, static_cast<uint8_t>(c.version),
                                    static_cast<uint8_t>(c.version >> 8), 160, 0};
      entry.insert(entry.end(), app.image.bytes.begin(), app.image.bytes.end());
      for (char16_t unit : *text) {
        entry.push_back(static_cast<uint8_t>(unit));
        entry.push_back(static_cast<uint8_t>(unit >> 8));
      }
      WriteFile(dir + "/field_entry/" + c.name + "-" + std::to_string(ids[i]) + ".bin", entry);
    }
  }
  return 0;
}
