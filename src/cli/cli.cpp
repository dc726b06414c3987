#include "cli/cli.h"

#include <ostream>
#include <sstream>

#include "cli/command.h"

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
  const std::vector<std::string> valued = {"--simulate", "--sim-unit", "--sim-eeprom", "--model", "--backup"};
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
    bool matched = false;
    for (const std::string& name : valued) {
      if (arg == name || arg.rfind(name + "=", 0) == 0) {
        std::optional<std::string> value;
        if (!TakeValue(argv, i, name, value, error)) return false;
        if (name == "--simulate") options.simulate = value;
        if (name == "--sim-unit") options.sim_unit = *value;
        if (name == "--sim-eeprom") options.sim_eeprom = value;
        if (name == "--model") options.model = value;
        if (name == "--backup") options.backup = value;
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
  return true;
}

std::string UsageText() {
  std::ostringstream text;
  text << "Usage: tavio-cli [OPTIONS] COMMAND [ARGUMENTS]\n\n"
          "Reads, edits and writes the configuration of a DRAVEX ESC through a LINKBOX or\n"
          "LINKPUCK programming unit, or through the built-in simulated unit.\n\nCommands:\n";
  for (const CommandDef& command : kCommands) text << "  " << command.synopsis << "\n";
  text << "\nOptions (they may stand anywhere on the line):\n"
          "  --simulate FAMILY[:MODEL[:VERSION]]\n"
          "                   use the simulated unit with this ESC instead of a real one;\n"
          "                   FAMILY is ALDER, BRENTA, CORVAN, DELMAR-Z or a number, MODEL\n"
          "                   defaults to 160, VERSION to 0x0401 for BRENTA and CORVAN and\n"
          "                   0x0104 otherwise (example: --simulate BRENTA:160:0x0401)\n"
          "  --sim-unit LINKBOX|LINKPUCK\n"
          "                   the kind of simulated unit (default LINKBOX)\n"
          "  --sim-eeprom PATH keep the simulated ESC's memory in this file: read at start\n"
          "                   when it exists, written after every completed write\n"
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
