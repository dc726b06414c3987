#include "cli/cli.h"

#include <charconv>
#include <cstdint>
#include <ostream>

#include "cli/command.h"
#include "core/link/trace_port.h"
#include "cli/file_commands.h"
#include "cli/set_command.h"
#include "frontend/program_options.h"

namespace tavio::cli {
namespace {

using RunCommand = int (*)(Context&);

struct Command {
  CLI::App* app;
  RunCommand run;
  std::vector<std::string> arguments;  // the names of its arguments, in order
};

// The JSON `show --json` prints, for its help.
constexpr const char* kShowJsonKeys =
    "--json prints one JSON object (UTF-8) with the keys, in this order: \"file\", \"family\" {\"code\",\n"
    "\"name\"}, \"layout\" (null when none), \"block_length\", \"param_version\" (\"0x0401\"), \"checksum\"\n"
    "{\"state\": \"correct\"|\"wrong\"|\"none\", and unless none \"prefix\", \"offset\", \"value\",\n"
    "\"computed\"}, \"fields\" {NAME: {\"raw\", \"text\"}} for the fields the window shows, \"flags\"\n"
    "{\"raw\", one key per named bit (true/false; \"battery_type\" 0..3), \"other_bits_set\": [bit\n"
    "numbers]}, \"lists\" {\"battery_type\", \"governor_type\", \"brake_type\"}, \"not_shown\" {NAME:\n"
    "number, or hex bytes as a string}, \"past_block\" and \"bytes\" (hex of the 92 image bytes).\n"
    "A file name that is not UTF-8 is shown with replacement characters.";

class CommandLine {
 public:
  explicit CommandLine(Options& o)
      : app_("Reads, edits and writes the configuration of a DRAVEX ESC through a LINKBOX or "
             "LINKPUCK programming unit, or through the built-in simulated unit.",
             "tavio-cli") {
    options::SetUpApp(app_);
    app_.require_subcommand(0, 1);
    app_.footer("'tavio-cli COMMAND --help' describes a command and its options; the options above\n"
                "may also stand after the command.\n\n"
                "Exit status: 0 success, 1 failure (no usable unit, a refused value, a failed\n"
                "exchange), 2 wrong usage.");
    options::AddSharedOptions(app_, o.shared);

    // Commands, with their arguments and their own options.
    Add("info", CommandInfo, "identify the unit and the ESC, read and check the block", o);

    CLI::App* read = Add("read", CommandRead,
                         "read the ESC's block and save it as a configuration file; a block with a wrong checksum "
                         "is refused unless --force",
                         o);
    Argument("OUT.bin", o);
    read->add_flag("--force", o.force, "save a block with a wrong checksum as read, unsealed");

    CLI::App* write = Add("write", CommandWrite,
                          "check the file against the ESC and every shown field against its limits, store it on "
                          "the ESC (after a backup to the backup folder) and read it back to compare",
                          o);
    Argument("IN.bin", o);
    options::AddText(*write, "--backup", o.backup, "also save the ESC's block to this file before storing")
        ->type_name("OLD.bin");
    write->add_flag("--force", o.force,
                    "store a file with values outside the limits, and keep a damaged block as OLD.bin");

    Add("backups", CommandBackups,
        "list the automatic backups, newest first (they are made before every store, in "
        "$XDG_DATA_HOME/tavio/backups or ~/.local/share/tavio/backups; the newest 100 are kept)",
        o);

    CLI::App* defaults =
        Add("defaults", CommandDefaults,
            "apply the model-type defaults CODE (1 sail plane, 2 sports plane, 3 helicopter, 4 RC car, 9 reset; "
            "DELMAR-Z: 6 multicopter, 7 forward/reverse, 8 reverse rotation, 9 reset) to the ESC's block and "
            "save it",
            o);
    Argument("CODE", o);
    Argument("OUT.bin", o);
    defaults->add_flag("--store", o.store, "also store the result on the ESC and read it back to compare");

    Add("diff", CommandDiff,
        "list the fields, flag bits and bytes that differ (exit 0 when equal, 1 when they differ, 2 when a file "
        "cannot be read)",
        o);
    Argument("A.bin", o);
    Argument("B.bin", o);

    CLI::App* show = Add("show", CommandShow, "describe a configuration file field by field", o);
    Argument("IN.bin", o);
    show->add_flag("--json", o.json, "print one JSON object instead of text");
    show->footer(kShowJsonKeys);

    CLI::App* set = Add("set", CommandSet,
                        "change parameters of a configuration file as if TEXT were typed into their fields (same "
                        "limits, for the file's family and parameter set); a field the window disables is "
                        "refused; the entries apply in the order given; OUT.bin is written only when every "
                        "entry is accepted",
                        o);
    Argument("IN.bin", o);
    Argument("OUT.bin", o);
    set->add_option_function<std::vector<std::string>>(
           "NAME=TEXT", [&o](const std::vector<std::string>& entries) { o.args.insert(o.args.end(), entries.begin(), entries.end()); },
           "NAME is an image field name such as hold_time_ms or gear_ratio_x100, or the field's control ID; "
           "cutoff_nimh_mv, cutoff_lipo_mv and cutoff_lifepo_mv are judged by their own battery type's limits, "
           "whatever type the file selects; the lists are governor_type=off|governor|store, "
           "brake_type=off|switching|proportional, battery_type=nimh|lipo|lifepo and timing=auto|fixed; the "
           "check boxes reverse_rotation, forward_backward, shutdown and soft_start take on|off");
    options::AddText(*set, "--from", o.from,
                     "apply a `show --json` document before any NAME=TEXT: every field whose value differs from "
                     "IN.bin's (typed so that it stores the document's raw value, or its text where that was "
                     "edited), then its lists and flags, each by the window's rules and through the choices that "
                     "enable a field; whatever cannot be applied (a value no entry stores, a flag no choice gives, "
                     "a field the window has no control for, another family or parameter set) is refused by name")
        ->type_name("SETTINGS.json");
    set->add_option_function<std::string>(
           "--model", [&o](const std::string& value) { o.model = ParseModel(value); },
           "the ESC's model number, needed for the fields whose limits depend on it (warn_motor_current_a, and "
           "warn_bec_current_ma of a BRENTA)")
        ->type_name("0..4095")
        ->check(options::Checked("model number", [](std::string_view value, std::string& error) {
          if (ParseModel(value)) return true;
          error = "'" + std::string(value) + "' is not a model number 0..4095";
          return false;
        }));
  }

  CLI::App& app() { return app_; }

  // The command given, or none.
  const Command* Chosen() const {
    for (const Command& command : commands_) {
      if (command.app->parsed()) return &command;
    }
    return nullptr;
  }

 private:
  CLI::App* Add(const char* name, RunCommand run, const std::string& help, Options&) {
    CLI::App* command = app_.add_subcommand(name, help)->group("Commands");
    commands_.push_back({command, run, {}});
    return command;
  }

  // The next argument of the command last added; arguments are kept in order.
  void Argument(const char* name, Options& o) {
    commands_.back().arguments.push_back(name);
    commands_.back()
        .app->add_option_function<std::string>(name, [&o](const std::string& value) { o.args.push_back(value); })
        ->required();
  }

  static std::optional<uint16_t> ParseModel(std::string_view text) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value > 0xFFF) return std::nullopt;
    return static_cast<uint16_t>(value);
  }

  CLI::App app_;
  std::vector<Command> commands_;
};

}  // namespace

int UsageError(Context& context, std::string_view command, std::string_view message) {
  context.err << "tavio-cli: " << message << " (see tavio-cli " << command << " --help)\n";
  return kExitUsage;
}

std::string UsageText() {
  Options options;
  return CommandLine(options).app().help();
}

int Run(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err,
        const Environment& environment) {
  Options options;
  CommandLine line(options);
  const options::ParseOutcome parsed = options::Parse(line.app(), argv);
  if (!parsed.proceed) {
    (parsed.exit_code == kExitOk ? out : err) << parsed.text;
    return parsed.exit_code;
  }
  const Command* command = line.Chosen();
  if (command == nullptr) {
    err << options::UsageError(line.app(), "no command given");
    return kExitUsage;
  }
  Context context{options, out, err, environment};
  if (options.shared.trace) {
    // The trace replaces its file before anything else happens.
    std::vector<std::pair<std::string, std::string>> files;
    for (size_t i = 0; i < command->arguments.size() && i < options.args.size(); ++i) {
      if (command->arguments[i].ends_with(".bin")) files.emplace_back(command->arguments[i], options.args[i]);
    }
    if (options.backup) files.emplace_back("--backup", *options.backup);
    if (options.from) files.emplace_back("--from", *options.from);
    if (options.shared.sim.eeprom_file) files.emplace_back("--sim-eeprom", *options.shared.sim.eeprom_file);
    for (const auto& [what, path] : files) {
      if (options::SameFile(*options.shared.trace, path)) {
        return UsageError(context, command->app->get_name(),
                          "--trace names " + what + ", a file of the command; the trace would overwrite it");
      }
    }
  }
  return command->run(context);
}

}  // namespace tavio::cli
