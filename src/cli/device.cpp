#include <ostream>

#include "cli/command.h"
#include "core/link/protocol.h"
#include "frontend/program_link.h"

namespace tavio::cli {
namespace {

std::string ToTerminal(TextView text) {
  std::string out;
  for (char c : ToUtf8(text)) {
    if (c != '\r') out.push_back(c);
  }
  return out;
}

}  // namespace

std::string Message(StringId id) { return ToTerminal(LookUpString(Language::English, id)); }

std::string CommErrorText(const CommError& error) { return ToTerminal(CommErrorMessage(Language::English, error)); }

Device::Device() = default;
Device::~Device() {
  CloseUsbLink(link);
  // A trace is a help for a bug report: one that failed is told, and fails nothing.
  if (program_.trace != nullptr && program_.trace->Failed() && err_ != nullptr) {
    *err_ << "tavio-cli: the trace file '" << trace_path_ << "' could not be written; the trace is incomplete\n";
  }
}

bool Device::Connect(Context& context) {
  const Options& options = context.options;
  err_ = &context.err;
  trace_path_ = options.shared.trace.value_or("");
  std::string error;
  if (!frontend::OpenProgramLink(options.shared, context.environment.sleeper, program_, error,
                                 context.environment.make_platform_port)) {
    context.err << "tavio-cli: " << error << "\n";
    return false;
  }
  frontend::WireLink(program_, link);

  OpenDiagnostics diagnostics;
  if (const int32_t result = OpenUsbLink(link, &diagnostics); result != kResultOk) {
    const uint32_t unit_code = link.unit_error_code;
    CloseUsbLink(link);
    context.err << Message(sid::kNoUnitFound) << "\n\n" << Message(sid::kConnectInstructions) << "\n";
    if (result == kResultUnitError) {
      context.err << "\n" << ToTerminal(FormatPattern(LookUpString(Language::English, sid::kUnitErrorAnswer),
                                                      static_cast<unsigned>(unit_code)))
                  << "\n";
    }
    if (diagnostics.unit_access_denied) {
      context.err << "\n" << ToTerminal(AccessDeniedParagraph(Language::English, diagnostics)) << "\n";
    }
    return false;
  }
  if (const StringId refusal = UnitRefusal(link.info); refusal != 0) {
    CloseUsbLink(link);
    context.err << Message(refusal) << "\n\n" << Message(sid::kConnectInstructions) << "\n";
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

bool Device::ReadBlock(Context& context, ConfigImage& image, UnreadableBlock unreadable) {
  ConfigImage read;
  const uint16_t n = ReadConfiguration(link, read, Reporter(context), unreadable);
  if (!IsConnected(link) || n != BlockLength(read)) return false;
  image = read;
  return true;
}

StoreResult Device::Store(Context& context, const ConfigImage& image) {
  return StoreConfiguration(link, image, Reporter(context));
}

}  // namespace tavio::cli
