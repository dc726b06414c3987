#pragma once
// The command line of every program, on CLI11: the options all programs
// share (the simulated unit, ...) and the one way a usage error or a help
// request ends a run.

#include <CLI/CLI.hpp>

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/shared_options.h"

namespace tavio::options {

// Registers the shared options on `app`; every --sim-* option needs --simulate.
void AddSharedOptions(CLI::App& app, SharedOptions& options);

// The layout of the generated help; the program's options are also taken
// after a command's arguments.
void SetUpApp(CLI::App& app);

// "--name VALUE" (or "--name=VALUE") into an optional text.
CLI::Option* AddText(CLI::App& app, const std::string& name, std::optional<std::string>& target,
                     const std::string& help);

// A check for CLI::Option::check(): `parse` reports why a value cannot be
// used through its error text.
using ValueParser = std::function<bool(std::string_view value, std::string& error)>;
CLI::Validator Checked(const std::string& what, ValueParser parse);

// Whether two paths name one file: the same inode through a link, or the
// same path however spelled for a file not made yet.
bool SameFile(const std::string& a, const std::string& b);

// `args` without the program's own name. Every option or argument that takes
// a value refuses an empty one.
ParseOutcome Parse(CLI::App& app, const std::vector<std::string>& args);

// "PROGRAM: MESSAGE (see PROGRAM --help)": the one line of a usage error.
std::string UsageError(const CLI::App& app, std::string_view message);

}  // namespace tavio::options
