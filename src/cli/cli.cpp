#include "cli/cli.h"

#include <cstdint>
#include <ostream>
#include <sstream>

#include "cli/command.h"
#include "core/link/trace_port.h"
#include "sim/sim_options.h"
#include "cli/file_commands.h"
#include "cli/set_command.h"

namespace tavio::cli {
namespace {

struct CommandDef {
  const char* name;
  size_t min_args;
  size_t max_args;
  int (*run)(Context&);
  const char* synopsis;
};

const CommandDef kCommands[] = {
    {"info", 0, 0, CommandInfo, "info                      identify the unit and the ESC, read and check the block"},
    {"read", 1, 1, CommandRead,
     "read OUT.bin [--force]    read the ESC's block and save it as a configuration file; a\n"
     "                            block with a wrong checksum is refused unless --force, which\n"
     "                            saves it as read, unsealed"},
    {"write", 1, 1, CommandWrite,
     "write IN.bin [--backup OLD.bin] [--force]\n"
     "                            check the file against the ESC and every shown field against\n"
     "                            its limits, save the ESC's block to OLD.bin first if asked\n"
     "                            (and to the backup folder always), store the file on the ESC\n"
     "                            and read it back to compare; --force stores a file with values\n"
     "                            outside the limits and keeps a damaged block as OLD.bin"},
    {"backups", 0, 0, CommandBackups,
     "backups                   list the automatic backups, newest first (they are made before\n"
     "                            every store, in $XDG_DATA_HOME/tavio/backups or\n"
     "                            ~/.local/share/tavio/backups; the newest 100 are kept)"},
    {"defaults", 2, 2, CommandDefaults,
     "defaults CODE OUT.bin [--store]\n"
     "                            apply the model-type defaults CODE (1 sail plane, 2 sports\n"
     "                            plane, 3 helicopter, 4 RC car, 9 reset; DELMAR-Z: 6\n"
     "                            multicopter, 7 forward/reverse, 8 reverse rotation, 9 reset)\n"
     "                            to the ESC's block and save it; --store also stores it on\n"
     "                            the ESC and reads it back to compare"},
    {"diff", 2, 2, CommandDiff,
     "diff A.bin B.bin          list the fields, flag bits and bytes that differ (exit 0 when\n"
     "                            equal, 1 when they differ, 2 when a file cannot be read)"},
    {"show", 1, 1, CommandShow,
     "show IN.bin [--json]      describe a configuration file field by field"},
    {"set", 3, SIZE_MAX, CommandSet,
     "set IN.bin OUT.bin NAME=TEXT [NAME=TEXT ...] [--model N]\n"
     "                            change parameters of a configuration file as if TEXT were\n"
     "                            typed into their fields (same limits, for the file's family\n"
     "                            and parameter set); NAME is an image field name such as\n"
     "                            hold_time_ms or gear_ratio_x100, or the field's control ID;\n"
     "                            cutoff_nimh_mv, cutoff_lipo_mv and cutoff_lifepo_mv are\n"
     "                            judged by their own battery type's limits, whatever type the\n"
     "                            file selects; the lists are governor_type=off|governor|store,\n"
     "                            brake_type=off|switching|proportional,\n"
     "                            battery_type=nimh|lipo|lifepo and timing=auto|fixed. A field\n"
     "                            the window disables (for the family, the parameter set or the\n"
     "                            state the entries before it left) is refused; the entries\n"
     "                            apply in the order given. OUT.bin is written only when every\n"
     "                            entry is accepted"},
};

// Options that take a value, as "--name VALUE" or "--name=VALUE".
bool TakeValue(const std::vector<std::string>& argv, size_t& i, const std::string& name,
               std::optional<std::string>& value, std::string& error) {
  const std::string& arg = argv[i];
  if (arg == name) {
    if (i + 1 >= argv.size()) {
      error = name + " needs a value";
      return false;
    }
    value = argv[++i];
    return true;
  }
  value = arg.substr(name.size() + 1);
  return true;
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& argv, Options& options, std::string& error) {
  const std::vector<std::string> valued = {"--simulate", "--sim-unit", "--sim-eeprom", "--model", "--backup",
                                           "--sim-unplug-after", "--sim-fault", "--sim-firmware", "--trace"};
  for (size_t i = 0; i < argv.size(); ++i) {
    const std::string& arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    if (arg == "--json") {
      options.json = true;
      continue;
    }
    if (arg == "--store") {
      options.store = true;
      continue;
    }
    if (arg == "--force") {
      options.force = true;
      continue;
    }
    bool matched = false;
    for (const std::string& name : valued) {
      if (arg == name || arg.rfind(name + "=", 0) == 0) {
        std::optional<std::string> value;
        if (!TakeValue(argv, i, name, value, error)) return false;
        // A simulated unit that cannot be described is a usage error.
        if (name == "--simulate" && !sim::ParseSimEscSpec(*value, error)) return false;
        if (name == "--sim-unit" && !sim::ParseSimUnitKind(*value, error)) return false;
        if (name == "--simulate") options.simulate = value;
        if (name == "--sim-unit") options.sim_unit = *value;
        if (name == "--sim-eeprom") options.sim_eeprom = value;
        if (name == "--model") options.model = value;
        if (name == "--backup") options.backup = value;
        if (name == "--sim-fault" && !sim::ParseSimFault(*value, error)) return false;
        if (name == "--sim-fault") options.sim_faults.push_back(*value);
        if (name == "--sim-firmware" && !sim::ParseSimFirmware(*value, error)) return false;
        if (name == "--sim-firmware") options.sim_firmware = value;
        if (name == "--trace") options.trace = value;
        if (name == "--sim-unplug-after") {
          options.sim_unplug_after = sim::ParseExchangeCount(*value, error);
          if (!options.sim_unplug_after) return false;
        }
        matched = true;
        break;
      }
    }
    if (matched) continue;
    if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
      error = "unknown option " + arg;
      return false;
    }
    options.args.push_back(arg);
  }
  if (!options.simulate) {
    for (const auto& [given, name] : {std::pair{options.sim_unplug_after.has_value(), "--sim-unplug-after"},
                                      std::pair{!options.sim_faults.empty(), "--sim-fault"},
                                      std::pair{options.sim_firmware.has_value(), "--sim-firmware"}}) {
      if (given) {
        error = std::string(name) + " needs --simulate";
        return false;
      }
    }
  }
  return true;
}

std::string UsageText() {
  std::ostringstream text;
  text << "Usage: tavio-cli [OPTIONS] COMMAND [ARGUMENTS]\n\n"
          "Reads, edits and writes the configuration of a DRAVEX ESC through a LINKBOX or\n"
          "LINKPUCK programming unit, or through the built-in simulated unit.\n\nCommands:\n";
  for (const CommandDef& command : kCommands) text << "  " << command.synopsis << "\n";
  text << "\nOptions (they may stand anywhere on the line):\n"
       << sim::SimOptionsUsage() << TraceOptionUsage()
       << "  --backup OLD.bin write: save the ESC's block to OLD.bin before storing\n"
          "  --store          defaults: also store the result on the ESC\n"
          "  --force          read, write --backup: save a block with a wrong checksum as\n"
          "                   read, unsealed; write: store values outside the limits\n"
          "  --model N        set: the ESC's model number (0..4095); needed for the fields\n"
          "                   whose limits depend on it (warn_motor_current_a, and\n"
          "                   warn_bec_current_ma of a BRENTA)\n"
          "  --json           show: print one JSON object (UTF-8) with the keys, in this\n"
          "                   order: \"file\", \"family\" {\"code\", \"name\"}, \"layout\"\n"
          "                   (null when none), \"block_length\", \"param_version\" (\"0x0401\"),\n"
          "                   \"checksum\" {\"state\": \"correct\"|\"wrong\"|\"none\", and unless\n"
          "                   none \"prefix\", \"offset\", \"value\", \"computed\"}, \"fields\"\n"
          "                   {NAME: {\"raw\", \"text\"}} for the fields the window shows,\n"
          "                   \"flags\" {\"raw\", one key per named bit (true/false;\n"
          "                   \"battery_type\" 0..3), \"other_bits_set\": [bit numbers]},\n"
          "                   \"lists\" {\"battery_type\", \"governor_type\", \"brake_type\"},\n"
          "                   \"not_shown\" {NAME: number, or hex bytes as a string},\n"
          "                   \"past_block\" and \"bytes\" (hex of the 92 image bytes)\n"
          "  -h, --help       show this help\n\n"
          "Exit status: 0 success, 1 failure (no usable unit, a failed exchange, ...),\n"
          "2 wrong usage.\n";
  return text.str();
}

int Run(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err,
        const Environment& environment) {
  Options options;
  std::string error;
  if (!ParseOptions(argv, options, error)) {
    err << "tavio-cli: " << error << "\n\n" << UsageText();
    return kExitUsage;
  }
  if (options.help) {
    out << UsageText();
    return kExitOk;
  }
  if (options.args.empty()) {
    err << "tavio-cli: no command given\n\n" << UsageText();
    return kExitUsage;
  }
  for (const CommandDef& command : kCommands) {
    if (options.args[0] != command.name) continue;
    const size_t count = options.args.size() - 1;
    if (count < command.min_args || count > command.max_args) {
      err << "tavio-cli: wrong number of arguments\nUsage: tavio-cli " << command.synopsis << "\n";
      return kExitUsage;
    }
    Context context{options, out, err, environment};
    return command.run(context);
  }
  err << "tavio-cli: unknown command " << options.args[0] << "\n\n" << UsageText();
  return kExitUsage;
}

}  // namespace tavio::cli
