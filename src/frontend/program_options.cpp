#include "frontend/program_options.h"

#include <filesystem>
#include <memory>
#include <sstream>

namespace tavio::options {
namespace {

constexpr size_t kHelpColumn = 26;
constexpr const char* kEmptyValue = "the value is empty";
constexpr size_t kHelpWidth = 80;

// Words of `text` in lines of at most `width` characters.
std::string Wrap(const std::string& text, size_t width = kHelpWidth - kHelpColumn) {
  std::string out;
  size_t line = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    if (line > 0 && line + 1 + word.size() > width) {
      out += '\n';
      line = 0;
    } else if (line > 0) {
      out += ' ';
      ++line;
    }
    out += word;
    line += word.size();
    start = end + 1;
  }
  return out;
}

// CLI11's help with wrapped descriptions, and an option's value named once
// ("--sim-unit LINKBOX|LINKPUCK"), its needs told in its description.
class HelpFormatter : public CLI::Formatter {
 public:
  HelpFormatter() {
    column_width(kHelpColumn);
    label("SUBCOMMAND", "COMMAND");
    label("Positionals", "Arguments");
  }
  std::string make_option_opts(const CLI::Option* option) const override {
    if (!option->nonpositional() || option->get_type_size() == 0) return "";
    return " " + option->get_type_name();
  }
  std::string make_option_desc(const CLI::Option* option) const override { return Wrap(option->get_description()); }
  std::string make_description(const CLI::App* app) const override {
    return app->get_description().empty() ? "" : Wrap(app->get_description(), kHelpWidth) + "\n";
  }
  std::string make_subcommand(const CLI::App* command) const override {
    std::ostringstream out;
    CLI::detail::format_help(out, command->get_display_name(), Wrap(command->get_description()), kHelpColumn);
    return out.str();
  }
};

}  // namespace

// One statement per option; every --sim-* option needs --simulate.
void AddSharedOptions(CLI::App& app, SharedOptions& options) {
  CLI::Option* simulate =
      app.add_option_function<std::string>(
             "--simulate",
             [&options](const std::string& value) {
               options.simulate = true;
               options.sim.spec = value;
             },
             "use the simulated unit with this ESC instead of a real one; FAMILY is ALDER, BRENTA, CORVAN, "
             "DELMAR-Z or a number, MODEL defaults to 160, VERSION to 0x0401 for BRENTA and CORVAN and 0x0104 "
             "otherwise (example: --simulate BRENTA:160:0x0401)")
          ->type_name("FAMILY[:MODEL[:VERSION]]")
          ->check(Checked("ESC", [](std::string_view value, std::string& error) {
            return sim::ParseSimEscSpec(value, error).has_value();
          }));
  AddText(app, "--sim-unit", options.sim.unit_kind, "the kind of simulated unit (default LINKBOX; needs --simulate)")
      ->type_name("LINKBOX|LINKPUCK")
      ->check(Checked("unit", [](std::string_view value, std::string& error) {
        return sim::ParseSimUnitKind(value, error).has_value();
      }))
      ->needs(simulate);
  AddText(app, "--sim-eeprom", options.sim.eeprom_file,
          "keep the simulated ESC's memory in this file: read at start when it exists, replaced after every "
          "change (the erase and each block); a file that cannot be written fails the exchange (needs --simulate)")
      ->type_name("PATH")
      ->needs(simulate);
  app.add_option_function<std::string>(
         "--sim-unplug-after",
         [&options](const std::string& value) {
           std::string error;
           options.sim.unplug_after_exchanges = sim::ParseExchangeCount(value, error);
         },
         "the simulated unit vanishes once N exchanges are done (the identification takes three), to try an "
         "unplug in the middle of a readout or a write (needs --simulate)")
      ->type_name("N")
      ->check(Checked("count", [](std::string_view value, std::string& error) {
        return sim::ParseExchangeCount(value, error).has_value();
      }))
      ->needs(simulate);
  // One value per --sim-fault: the next argument is never a second fault.
  app.add_option_function<std::string>(
         "--sim-fault", [&options](const std::string& value) { options.sim.faults.push_back(value); },
         "a fault of the simulated unit (repeatable): error=CODE@WHEN, silent@WHEN (no answer), echo@WHEN (the "
         "other lock or flash state), unplug@N, mode=M, esc-state=S, lengths=IN:OUT (report lengths), "
         "block-length=L, open=denied|failed; WHEN is an exchange number N (from 0, as --trace counts) or a "
         "command (ReadMemory, WriteBlock, ... or 0x1D) with #K for its K-th request only (example: --sim-fault "
         "error=0@WriteBlock#1; needs --simulate)")
      ->type_name("SPEC")
      ->trigger_on_parse()
      ->check(Checked("fault", [](std::string_view value, std::string& error) {
        return sim::ParseSimFault(value, error).has_value();
      }))
      ->needs(simulate);
  AddText(app, "--sim-firmware", options.sim.firmware,
          "firmware versions of the unit, the ESC's bootloader and the ESC (hex with 0x or decimal; an empty "
          "part keeps the default; ESC 0xFFFF means none: --sim-firmware ::0xFFFF; needs --simulate)")
      ->type_name("UNIT:BOOT:ESC")
      ->check(Checked("firmware", [](std::string_view value, std::string& error) {
        return sim::ParseSimFirmware(value, error).has_value();
      }))
      ->needs(simulate);
  AddText(app, "--trace", options.trace,
          "write every report to and from the unit (real or simulated) to FILE, with its time and exchange "
          "number, in hex; FILE is none of the files the command reads or writes, and a trace that cannot be "
          "written fails nothing")
      ->type_name("FILE");
}

void SetUpApp(CLI::App& app) {
  app.formatter(std::make_shared<HelpFormatter>());
  // Options of the program may also stand after a command's arguments.
  app.fallthrough();
  // "/dir/file.bin" is a path, not a Windows-style option (CLI11's default on Windows).
  app.allow_windows_style_options(false);
}

CLI::Option* AddText(CLI::App& app, const std::string& name, std::optional<std::string>& target,
                     const std::string& help) {
  return app.add_option_function<std::string>(
      name, [&target](const std::string& value) { target = value; }, help);
}

CLI::Validator Checked(const std::string& what, ValueParser parse) {
  return CLI::Validator(
      [parse = std::move(parse)](std::string& value) {
        if (value.empty()) return std::string(kEmptyValue);
        std::string error;
        return parse(value, error) ? std::string() : error;
      },
      "", what);
}

std::string UsageError(const CLI::App& app, std::string_view message) {
  std::string name = app.get_name();
  std::string program = name;
  for (const CLI::App* up = app.get_parent(); up != nullptr; up = up->get_parent()) {
    program = up->get_name();
    name = program + " " + name;
  }
  return program + ": " + std::string(message) + " (see " + name + " --help)\n";
}

namespace {

// The command given on the line, or the program itself.
const CLI::App* Chosen(const CLI::App& app) {
  const CLI::App* chosen = &app;
  for (const CLI::App* command : app.get_subcommands()) chosen = command;
  return chosen;
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  const fs::path pa(std::u8string(a.begin(), a.end())), pb(std::u8string(b.begin(), b.end()));
  std::error_code failure;
  if (fs::equivalent(pa, pb, failure)) return true;
  const fs::path ca = fs::weakly_canonical(pa, failure);
  if (failure) return a == b;
  const fs::path cb = fs::weakly_canonical(pb, failure);
  return failure ? a == b : ca == cb;
}

namespace {

// An empty value is never what the user meant: not a default, not a path.
void RefuseEmptyValues(CLI::App& app) {
  for (CLI::Option* option : app.get_options()) {
    if (option->get_type_size() == 0) continue;  // a flag
    option->check(CLI::Validator(
        [](std::string& value) { return value.empty() ? std::string(kEmptyValue) : std::string(); }, "", "value"));
  }
  for (CLI::App* command : app.get_subcommands({})) RefuseEmptyValues(*command);
}

}  // namespace

ParseOutcome Parse(CLI::App& app, const std::vector<std::string>& args) {
  RefuseEmptyValues(app);
  // CLI11 takes "--name=" as "--name" and the next argument as its value.
  for (const std::string& arg : args) {
    if (arg == "--") break;
    if (arg.rfind("--", 0) != 0 || arg.find('=') != arg.size() - 1) continue;
    const std::string name = arg.substr(0, arg.size() - 1);
    const CLI::App* owner = app.get_option_no_throw(name) != nullptr ? &app : nullptr;
    for (const CLI::App* command : app.get_subcommands({})) {
      if (owner == nullptr && command->get_option_no_throw(name) != nullptr) owner = command;
    }
    if (owner != nullptr) return {false, kExitUsage, UsageError(*owner, name + ": " + kEmptyValue)};
  }
  // CLI11 takes the arguments last first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    // The help of the command it was asked for, or of the program.
    const CLI::App* asked = Chosen(app);
    return {false, kExitOk, asked == &app ? app.help() : asked->help(app.get_name())};
  } catch (const CLI::ExtrasError&) {
    // CLI11 lists them last first; the user's order reads better.
    const std::vector<std::string> extras = app.remaining(true);
    const CLI::App& chosen = *Chosen(app);
    if (&chosen == &app && !app.get_subcommands({}).empty() && !extras.empty() && extras[0].rfind('-', 0) != 0) {
      return {false, kExitUsage, UsageError(app, "unknown command " + extras[0])};
    }
    std::string list;
    size_t count = 0;
    for (const std::string& arg : extras) {
      list += (count++ == 0 ? "" : " ") + arg;
    }
    return {false, kExitUsage,
            UsageError(chosen, (count > 1 ? "unexpected arguments: " : "unexpected argument: ") + list)};
  } catch (const CLI::ParseError& error) {
    // The help that describes what was wrong: the program's for its own
    // options, else the command's.
    const std::string message = error.what();
    const std::string first = message.substr(0, message.find_first_of(": "));
    const bool own_option = app.get_option_no_throw(first) != nullptr;
    return {false, kExitUsage, UsageError(own_option ? app : *Chosen(app), message)};
  }
  return {};
}

ParseOutcome ParseWindowOptions(const std::vector<std::string>& args, WindowOptions& options) {
  CLI::App app("Shows and edits the configuration of a DRAVEX ESC connected through a LINKBOX or LINKPUCK "
               "programming unit, or through the built-in simulated unit.",
               "tavio");
  SetUpApp(app);
  app.footer("Without --simulate the first LINKBOX or LINKPUCK found on USB is used.\n\n"
             "Exit status: 0 after the window was closed, 1 when the simulated unit cannot\n"
             "be set up, 2 wrong usage.");
  AddSharedOptions(app, options.shared);
  app.add_flag("--benchmark-startup", options.benchmark_startup)->group("");
  ParseOutcome outcome = Parse(app, args);
  const SharedOptions& shared = options.shared;
  if (outcome.proceed && shared.trace && shared.sim.eeprom_file && SameFile(*shared.trace, *shared.sim.eeprom_file)) {
    return {false, kExitUsage, UsageError(app, "--trace names the --sim-eeprom file; the trace would overwrite it")};
  }
  return outcome;
}

}  // namespace tavio::options
