#include <ostream>

#include "cli/command.h"
#include "core/link/protocol.h"
#include "core/link/trace_port.h"
#include "platform/platform.h"
#include "sim/sim_hid_port.h"
#include "sim/sim_options.h"

namespace tavio::cli {
namespace {

constexpr const char* kSimulatedPath = "/dev/hidraw-simulated";

std::string ToTerminal(TextView text) {
  std::string out;
  for (char c : ToUtf8(text)) {
    if (c != '\r') out.push_back(c);
  }
  return out;
}

}  // namespace

std::string Message(StringId id) { return ToTerminal(LoadString(Language::English, id)); }

std::string CommErrorText(const CommError& error) {
  Text text(LoadString(Language::English, error.text));
  if (error.code != kResultNotConnected) {
    text += u"\r\n";
    text += FormatPattern(LoadString(Language::English, sid::kSystemErrorCode),
                          static_cast<unsigned>(CodeLineValue(error)),
                          static_cast<unsigned>(error.os_error));
  }
  return ToTerminal(text);
}

Device::Device() = default;
Device::~Device() { CloseUsbLink(link); }

bool Device::Connect(Context& context) {
  const Options& options = context.options;
  if (options.shared.simulate) {
    std::string error;
    auto port = sim::CreateSimulatedPort(options.shared.sim, kSimulatedPath, error);
    if (port == nullptr) {
      context.err << "tavio-cli: " << error << "\n";
      return false;
    }
    port_ = std::move(port);
  } else if (context.environment.make_platform_port) {
    port_ = context.environment.make_platform_port();
  } else {
    port_ = CreatePlatformHidPort();
  }
  if (options.shared.trace) {
    std::string error;
    port_ = TraceToFile(std::move(port_), *options.shared.trace, error);
    if (port_ == nullptr) {
      context.err << "tavio-cli: " << error << "\n";
      return false;
    }
  }
  if (context.environment.sleeper != nullptr) {
    link.sleeper = context.environment.sleeper;
  } else {
    own_sleeper_ = std::make_unique<RealSleeper>();
    link.sleeper = own_sleeper_.get();
  }
  link.port = port_.get();

  OpenDiagnostics diagnostics;
  if (OpenUsbLink(link, &diagnostics) != kResultOk) {
    CloseUsbLink(link);
    context.err << Message(sid::kNoUnitFound) << "\n\n" << Message(sid::kConnectInstructions) << "\n";
    if (diagnostics.unit_access_denied) {
      context.err << "\n" << ToTerminal(FormatPattern(LoadString(Language::English, sid::kUnitAccessDenied),
                                              diagnostics.denied_path.c_str()))
                  << "\n";
    }
    return false;
  }
  if (link.info.unit_mode != 0 || link.info.esc_state != kEscStateUpdatable) {
    const StringId reason = link.info.unit_mode != 0 ? sid::kUnitWrongMode : sid::kNoUpdatableEsc;
    CloseUsbLink(link);
    context.err << Message(reason) << "\n\n" << Message(sid::kConnectInstructions) << "\n";
    return false;
  }
  return true;
}

CommErrorReporter Device::Reporter(Context& context) {
  return [this, &context](const CommError& error) {
    CloseUsbLink(link);
    context.err << CommErrorText(error) << "\n";
  };
}

bool Device::ReadBlock(Context& context, ConfigImage& image) {
  ConfigImage read;
  const uint16_t n = ReadConfiguration(link, read, Reporter(context));
  if (!IsConnected(link) || n != BlockLength(read)) return false;
  image = read;
  return true;
}

StoreResult Device::Store(Context& context, const ConfigImage& image) {
  return StoreConfiguration(link, image, Reporter(context));
}

}  // namespace tavio::cli
