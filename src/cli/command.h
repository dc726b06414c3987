#pragma once
// What every tavio-cli command gets, and the helpers they share.

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "cli/cli.h"
#include "core/link/transfer.h"
#include "core/link/usb_link.h"
#include "core/model/config_image.h"
#include "core/text/string_table.h"
#include "frontend/program_link.h"

namespace tavio::sim {
class SimHidPort;
}

namespace tavio::cli {

struct Context {
  const Options& options;
  std::ostream& out;
  std::ostream& err;
  const Environment& environment;
};

// A usage error found by a command: one line naming the command's help; the exit code.
int UsageError(Context& context, std::string_view command, std::string_view message);

// A string-table text as the terminal shows it: English, LF line ends.
std::string Message(StringId id);
std::string CommErrorText(const CommError& error);

// The programming unit a command talks to, real or simulated.
class Device {
 public:
  Device();
  ~Device();
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  // Opens the first unit and checks that it is usable; prints why not.
  bool Connect(Context& context);
  // Reads the ESC's block into `image`; prints a failure. Needs Connect.
  // With Accept an unreadable block (IsUnreadableBlock) counts as read.
  bool ReadBlock(Context& context, ConfigImage& image, UnreadableBlock unreadable = UnreadableBlock::Fail);
  // Seals nothing; writes `image` to the ESC, reads it back and compares;
  // prints a failed exchange (a mismatch is left to the caller).
  StoreResult Store(Context& context, const ConfigImage& image);

  UsbLink link;

 private:
  CommErrorReporter Reporter(Context& context);
  frontend::ProgramLink program_;
  // Where the end of the run tells of a trace that could not be written.
  std::ostream* err_ = nullptr;
  std::string trace_path_;
};

int CommandInfo(Context& context);

}  // namespace tavio::cli
