// Every row of the parameter table as the window and tavio-cli show it: the
// window's control and label, its help, the text it fills in, whether it is
// enabled, against `show --json` and `set` on a file read from the same ESC;
// and the manual page's list of names against the table.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "cli/cli_run.h"
#include "cli/set_command.h"
#include "core/editors/field_formats.h"
#include "core/shell/control_table.h"
#include "core/shell/help.h"
#include "support/app_harness.h"

namespace tavio::test {
namespace {

// The names of a row as `set` takes them: a list's or switch's own, or the
// fields a numeric control edits.
std::vector<std::string> RowNames(const Parameter& row) {
  if (!row.name.empty()) return {std::string(row.name)};
  std::vector<std::string> names;
  for (const Shown& shown : row.shown) {
    const std::string name(FieldName(shown.field));
    if (shown.layouts != 0 && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  return names;
}

class ParameterTable : public CliRun {};

#ifdef TAVIO_PACKAGING_DIR
TEST_F(ParameterTable, ManualPageListsEveryRowsNamesInTableOrder) {
  const std::string manual = ReadAll(TAVIO_PACKAGING_DIR "/man/tavio-cli.1");
  const size_t section = manual.find("\n.SH FIELDS\n");
  ASSERT_NE(section, std::string::npos);
  const size_t begin = manual.find("\n.nf\n", section) + 5;
  const size_t end = manual.find("\n.fi\n", begin);
  ASSERT_LT(end, manual.find("\n.SH ", section + 1));
  std::vector<std::string> listed;
  std::istringstream lines(manual.substr(begin, end - begin));
  for (std::string line; std::getline(lines, line);) listed.push_back(line);
  std::vector<std::string> rows;
  for (const Parameter& row : Parameters()) {
    std::string line;
    for (const std::string& name : RowNames(row)) line += (line.empty() ? "" : " ") + name;
    if (!line.empty()) rows.push_back(line);
  }
  EXPECT_EQ(listed, rows);
}
#endif

// Every name of the table is one `set` takes, and resolves to its row.
TEST_F(ParameterTable, EveryNameResolvesToItsRow) {
  std::set<std::string> seen;
  for (const Parameter& row : Parameters()) {
    for (const std::string& name : RowNames(row)) {
      SCOPED_TRACE(name);
      EXPECT_TRUE(seen.insert(name).second);
      if (!row.name.empty()) continue;
      const auto target = cli::ResolveSetName(name);
      ASSERT_TRUE(target.has_value());
      EXPECT_EQ(target->id, row.control);
      EXPECT_EQ(target->battery.has_value(), row.control == ctl::kCutoffVoltage);
    }
  }
  EXPECT_EQ(seen.size(), 35u);
}

// The control table holds each row's control and label where the row puts
// them, with the row's texts; help and hover give the row's help.
TEST_F(ParameterTable, WindowControlsAndHelpFollowTheRows) {
  for (const Parameter& row : Parameters()) {
    SCOPED_TRACE(row.control);
    const ControlDef* control = FindControl(row.control);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->kind, row.kind);
    EXPECT_EQ((std::array{control->x, control->y, control->w, control->h}),
              (std::array{row.at.x, row.at.y, row.at.w, row.at.h}));
    const ControlDef* label = FindControl(row.label);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->kind, ControlKind::Label);
    const Text label_text = row.label_text != 0 ? Text(LookUpString(Language::German, row.label_text))
                                                : Text(row.label_literal);
    EXPECT_EQ(ControlText(*label, Language::German), label_text);
    if (row.label_at.w != 0) {
      EXPECT_EQ((std::array{label->x, label->y}), (std::array{row.label_at.x, row.label_at.y}));
    }
    EXPECT_EQ(FocusHelpId(row.control), row.help);
    EXPECT_EQ(HoverHelpId(row.control, kFamilyBrenta), row.help);
    EXPECT_FALSE(LookUpString(Language::English, row.help).empty());
    for (uint16_t family : {kFamilyAlder, kFamilyBrenta, kFamilyCorvan, kFamilyDelmarZ}) {
      const bool own = (row.help_families & families::Bit(family)) != 0;
      if (FindControl(row.label) != nullptr && row.label_at.w != 0) {
        EXPECT_EQ(HoverHelpId(row.label, family), own ? row.family_help : row.help) << family;
      }
    }
  }
}

// What the window fills in and enables for each row, against what `show
// --json` prints and `set` takes, on the same simulated ESC.
TEST_F(ParameterTable, WindowAndCliShowTheSameForEveryRow) {
  const struct {
    const char* spec;
    uint16_t family, model, version;
  } escs[] = {
      {"ALDER:160:0x0104", kFamilyAlder, 160, 0x0104},       {"BRENTA:160:0x0401", kFamilyBrenta, 160, 0x0401},
      {"BRENTA:160:0x0400", kFamilyBrenta, 160, 0x0400},     {"CORVAN:160:0x0401", kFamilyCorvan, 160, 0x0401},
      {"DELMAR-Z:160:0x0104", kFamilyDelmarZ, 160, 0x0104},
  };
  for (const auto& esc : escs) {
    SCOPED_TRACE(esc.spec);
    AppHarness window;
    window.AddUnit(esc.family, esc.model, esc.version);
    window.Start();
    const std::string file = Path("esc.bin");
    ASSERT_EQ(Run({"--simulate", esc.spec, "read", file}).code, 0);
    const Result shown = Run({"show", file, "--json"});
    ASSERT_EQ(shown.code, 0);
    const auto json = nlohmann::json::parse(shown.out);
    const ImageLayout layout = *SelectLayout(esc.family, esc.version);
    int fields = 0;
    for (const Parameter& row : Parameters()) {
      SCOPED_TRACE(row.control);
      const bool enabled = window.panel.IsEnabled(row.control);
      if (row.kind == ControlKind::List) {
        const auto items = ListItems(row.control);
        const int index = window.panel.GetSelection(row.control);
        ASSERT_TRUE(index >= 0 && index < int(items.size()));
        EXPECT_EQ(json["lists"][std::string(row.name)], ToUtf8(ListItemText(items[size_t(index)], Language::English)));
      }
      if (!row.IsNumeric()) continue;
      const auto format = DisplayFormat(row.control, layout, window.app.image);
      if (!format) {
        EXPECT_FALSE(json["fields"].contains(RowNames(row)[0]));
        continue;
      }
      for (const Shown& entry : row.shown) fields += (entry.layouts & layouts::Bit(layout)) != 0;
      const std::string name(FieldName(format->field));
      const std::string text = ToUtf8(window.panel.GetText(row.control));
      ASSERT_TRUE(json["fields"].contains(name)) << name;
      EXPECT_EQ(json["fields"][name]["text"], text) << name;
      // The window's text typed back: accepted exactly where the window enables the field.
      const Result set = Run({"set", file, Path("out.bin"), name + "=" + text, "--model", "160"});
      EXPECT_EQ(set.code, enabled ? 0 : 1) << name << "\n" << set.err;
      if (enabled) {
        EXPECT_EQ(set.out, name + ": " + text + "\n");
      } else {
        EXPECT_EQ(set.err.rfind("tavio-cli: " + name + " refused: the window disables it ", 0), 0u) << set.err;
      }
    }
    EXPECT_EQ(fields, int(json["fields"].size()));
  }
}

}  // namespace
}  // namespace tavio::test
