// set by the names of every control of the window, its hints followed, and
// `show --json` documents applied back with `set --from`.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "cli/set_command.h"
#include "core/editors/control_choices.h"

namespace tavio::test {
namespace {

namespace fs = std::filesystem;

using SetNames = CliRun;

// Every control the window offers a choice on has a name set takes.
TEST_F(SetNames, EveryChoiceOfTheWindowHasAName) {
  for (ControlId id : ChoiceControls()) {
    for (int value = 0; value < ChoiceCount(id); ++value) {
      EXPECT_NE(cli::ChoiceText({id, value}), "") << id << " " << value;
    }
  }
  EXPECT_EQ(cli::ChoiceText({ctl::kAutoTiming, 0}), "timing=fixed");
  EXPECT_EQ(cli::ChoiceText({ctl::kReverseRotation, 1}), "reverse_rotation=on");
}

TEST_F(SetNames, ChecksBoxesAndRadioButtonsByName) {
  ASSERT_EQ(Run({"--simulate", "CORVAN:120:0x0401", "read", Path("corvan.bin")}).code, 0);
  ASSERT_EQ(Run({"--simulate", "ALDER", "read", Path("alder.bin")}).code, 0);
  ASSERT_EQ(Run({"--simulate", "DELMAR-Z:68", "read", Path("delmar.bin")}).code, 0);
  const struct {
    std::string file;
    std::vector<std::string> entries;
    Result result;
    std::string diff;  // the flag lines `diff` prints between the files
  } cases[] = {
      {"corvan.bin", {"reverse_rotation=on"}, {0, "reverse_rotation: on\n", ""}, "  reverse_rotation: 0 -> 1\n"},
      {"corvan.bin", {"forward_backward=on", "timing=fixed"}, {0, "forward_backward: on\ntiming: fixed\n", ""},
       "  auto_timing: 1 -> 0\n  forward_backward: 0 -> 1\n"},
      {"corvan.bin", {"governor_type=governor", "soft_start=on"}, {0, "governor_type: governor\nsoft_start: on\n", ""},
       "  brake_on: 1 -> 0\n  governor_on: 0 -> 1\n  shutdown: 1 -> 0\n  soft_start: 0 -> 1\n"},
      {"corvan.bin", {"shutdown=off"}, {0, "shutdown: off\n", ""}, "  shutdown: 1 -> 0\n"},
      {"delmar.bin", {"timing=fixed", "reverse_rotation=on"}, {0, "timing: fixed\nreverse_rotation: on\n", ""},
       "  auto_timing: 1 -> 0\n  reverse_rotation: 0 -> 1\n"},
      {"alder.bin", {"forward_backward=on"},
       {1, "", "tavio-cli: forward_backward refused: the window disables it for ALDER\n"}, ""},
      {"alder.bin", {"governor_type=governor", "soft_start=on"},
       {1, "", "tavio-cli: soft_start refused: the window disables it for ALDER\n"}, ""},
      {"delmar.bin", {"shutdown=on"}, {1, "", "tavio-cli: shutdown refused: the window disables it for DELMAR-Z\n"}, ""},
      {"corvan.bin", {"reverse_rotation=yes"}, {2, "", "tavio-cli: reverse_rotation=yes: the choices are off on\n"}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.entries));
    fs::remove(Path("out.bin"));
    std::vector<std::string> args = {"set", Path(c.file), Path("out.bin")};
    args.insert(args.end(), c.entries.begin(), c.entries.end());
    EXPECT_EQ(Run(args), c.result);
    EXPECT_EQ(fs::exists(Path("out.bin")), c.result.code == 0);
    if (c.result.code != 0) continue;
    const Result diff = Run({"diff", Path(c.file), Path("out.bin")});
    const size_t flags = diff.out.find("flags: ");
    ASSERT_NE(flags, std::string::npos) << diff.out;
    const size_t end = diff.out.find("checksum: ");
    const std::string lines = diff.out.substr(diff.out.find('\n', flags) + 1, end - diff.out.find('\n', flags) - 1);
    EXPECT_EQ(lines, c.diff) << diff.out;
  }
}

// Each refusal of a control the window disables names choices that enable
// it; given first, each of them lets the entry through.
TEST_F(SetNames, EveryHintNamesAWayThatWorks) {
  ASSERT_EQ(Run({"--simulate", "CORVAN:120:0x0401", "read", Path("corvan.bin")}).code, 0);
  ASSERT_EQ(Run({"--simulate", "ALDER", "read", Path("alder.bin")}).code, 0);
  ASSERT_EQ(Run({"--simulate", "DELMAR-Z:68", "read", Path("delmar.bin")}).code, 0);
  const std::string disabled = " refused: the window disables it ";
  const struct {
    std::string file;
    std::vector<std::string> before;
    std::string entry;
    std::string err;
  } cases[] = {
      {"corvan.bin", {"brake_type=off"}, "brake_min_pwm=5",
       "brake_min_pwm" + disabled + "while the brake is off (give brake_type=proportional first)"},
      {"corvan.bin", {}, "brake_min_pwm=5",
       "brake_min_pwm" + disabled + "under the switching brake (give brake_type=proportional first)"},
      {"corvan.bin", {"governor_type=store"}, "brake_min_pwm=5",
       "brake_min_pwm" + disabled + "while the brake is off (give brake_type=proportional first)"},
      {"corvan.bin", {"governor_type=governor"}, "brake_slew_pos_ms=500",
       "brake_slew_pos_ms" + disabled + "while the brake is off (give brake_type=switching or proportional first)"},
      {"corvan.bin", {}, "spoolup_ms=10",
       "spoolup_ms" + disabled + "while the governor is off (give governor_type=governor or store first)"},
      {"corvan.bin", {}, "soft_start=on",
       "soft_start" + disabled + "while the governor is off (give governor_type=governor or store first)"},
      {"corvan.bin", {"governor_type=store"}, "shutdown=on",
       "shutdown" + disabled + "while a governor mode is chosen (give governor_type=off first)"},
      {"alder.bin", {}, "fix_timing_deg=10", "fix_timing_deg" + disabled + "under auto-timing (give timing=fixed first)"},
      {"delmar.bin", {}, "spoolup_ms=10",
       "spoolup_ms" + disabled + "while the governor is off (no choice in the window enables it for DELMAR-Z)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry + " after " + ::testing::PrintToString(c.before));
    std::vector<std::string> args = {"set", Path(c.file), Path("out.bin")};
    args.insert(args.end(), c.before.begin(), c.before.end());
    args.push_back(c.entry);
    fs::remove(Path("out.bin"));
    EXPECT_EQ(Run(args), (Result{1, "", "tavio-cli: " + c.err + "\n"}));
    EXPECT_FALSE(fs::exists(Path("out.bin")));
    // "(give NAME=A or B first)": NAME=A, then NAME=B, each given before the entry.
    const size_t give = c.err.find("(give ");
    if (give == std::string::npos) continue;
    const std::string hint = c.err.substr(give + 6, c.err.find(" first)") - give - 6);
    const std::string name = hint.substr(0, hint.find('=') + 1);
    std::vector<std::string> ways;
    for (size_t at = name.size(), end; at <= hint.size(); at = end + 4) {
      end = std::min(hint.find(" or ", at), hint.size());
      ways.push_back(name + hint.substr(at, end - at));
    }
    ASSERT_FALSE(ways.empty());
    for (const std::string& way : ways) {
      SCOPED_TRACE(way);
      std::vector<std::string> followed = args;
      followed.insert(followed.end() - 1, way);
      const Result r = Run(followed);
      EXPECT_EQ(r.code, 0) << r.err;
      EXPECT_NE(r.out.find(c.entry.substr(0, c.entry.find('=')) + ": "), std::string::npos) << r.out;
    }
  }
}

using SetFrom = CliRun;

// show --json of one file, applied with set --from to another file of the
// same ESC, gives the very block of the first: fields, lists and flags.
TEST_F(SetFrom, ADocumentAppliedToAFileOfTheSameEscGivesItsBlock) {
  const std::vector<std::string> general = {"hold_time_ms=1500", "timing=fixed", "fix_timing_deg=12",
                                            "slew_pos_ms=600",   "slew_neg_ms=300", "reverse_rotation=on"};
  const std::vector<std::string> battery = {"bec_voltage_mv=7.25", "cutoff_lipo_mv=3300", "cutoff_lifepo_mv=2500",
                                            "cutoff_nimh_mv=900", "battery_type=lifepo"};
  const std::vector<std::string> brake = {"brake_type=proportional", "brake_slew_pos_ms=2000", "brake_slew_neg_ms=300",
                                          "brake_min_pwm=10%",       "brake_max_pwm=90%"};
  const std::vector<std::string> governor = {"governor_type=store", "spoolup_ms=45", "gov_p=7", "ri_comp_mohm=500",
                                             "soft_start=on"};
  const std::vector<std::string> motor = {"max_start_current=50", "capacity_limit_dah=12.5", "pole_count=10",
                                          "gear_ratio_x100=3.25", "forward_backward=on"};
  const std::vector<std::string> warnings = {"warn_cutoff_mv=3300", "warn_fet_temp_c=80", "warn_bec_temp_c=70",
                                             "warn_capacity_dah=20"};
  const auto all = [](std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
  };
  const struct {
    std::string esc, model;
    std::vector<std::string> changes;
  } escs[] = {
      {"ALDER", "160",
       all({general, battery, {"max_start_current=50", "governor_type=store", "spoolup_ms=20", "gov_p=7"}})},
      {"BRENTA:160:0x0401", "160",
       all({general, battery, brake, governor, motor, warnings, {"warn_motor_current_a=250", "warn_bec_current_ma=5000"}})},
      {"BRENTA:160:0x0400", "160", all({general, battery, brake, governor, motor})},
      {"CORVAN:120:0x0401", "120", all({general, battery, brake, governor, motor, warnings, {"warn_motor_current_a=220"}})},
      {"DELMAR-Z:68", "68",
       {"hold_time_ms=1500", "timing=fixed", "fix_timing_deg=12", "reverse_rotation=on", "max_start_current=50",
        "pole_count=10", "warn_cutoff_mv=3300", "warn_motor_current_a=100", "warn_fet_temp_c=80",
        "warn_capacity_dah=20", "forward_backward=on"}},
  };
  for (const auto& esc : escs) {
    SCOPED_TRACE(esc.esc);
    ASSERT_EQ(Run({"--simulate", esc.esc, "read", Path("a.bin")}).code, 0);
    std::vector<std::string> args = {"set", Path("a.bin"), Path("b.bin"), "--model", esc.model};
    args.insert(args.end(), esc.changes.begin(), esc.changes.end());
    const Result changed = Run(args);
    ASSERT_EQ(changed.code, 0) << changed.err;
    ASSERT_EQ(Run({"diff", Path("a.bin"), Path("b.bin")}).code, 1);
    for (const char* name : {"a", "b"}) {
      std::ofstream(Path(std::string(name) + ".json"), std::ios::binary)
          << Run({"show", Path(std::string(name) + ".bin"), "--json"}).out;
    }
    const struct {
      const char *from, *onto;
    } ways[] = {{"a", "b"}, {"b", "a"}, {"a", "a"}};
    for (const auto& way : ways) {
      SCOPED_TRACE(std::string(way.from) + ".json onto " + way.onto + ".bin");
      fs::remove(Path("out.bin"));
      const Result r = Run({"set", Path(std::string(way.onto) + ".bin"), Path("out.bin"), "--from",
                            Path(std::string(way.from) + ".json"), "--model", esc.model});
      EXPECT_EQ(r.code, 0) << r.err;
      EXPECT_EQ(r.err, "");
      EXPECT_EQ(ReadAll(Path("out.bin")), ReadAll(Path(std::string(way.from) + ".bin")));
      if (std::string(way.from) == way.onto) {
        EXPECT_EQ(r.out, "");
      }
    }
  }
}

// What the window cannot give is refused by name: exit 1, no file.
TEST_F(SetFrom, WhatCannotBeAppliedIsRefusedByName) {
  ASSERT_EQ(Run({"--simulate", "CORVAN:120:0x0401", "read", Path("corvan.bin")}).code, 0);
  ASSERT_EQ(Run({"--simulate", "ALDER", "read", Path("alder.bin")}).code, 0);
  ASSERT_EQ(Run({"--simulate", "DELMAR-Z:68", "read", Path("delmar.bin")}).code, 0);
  const auto edited = [&](const std::string& file, const std::string& from, const std::string& to) {
    std::string text = Run({"show", Path(file), "--json"}).out;
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    std::ofstream(Path("edited.json"), std::ios::binary) << text;
  };
  const std::string doc = Path("edited.json");
  const struct {
    std::string file, from, to;
    Result result;
  } cases[] = {
      {"corvan.bin", "\"stick_brake_us\": 1100", "\"stick_brake_us\": 1200",
       {1, "", "tavio-cli: stick_brake_us refused: the window has no control for it (the document has 1200, the "
               "file 1100)\n"}},
      {"corvan.bin", "\"governor_rpm_stored\": false", "\"governor_rpm_stored\": true",
       {1, "", "tavio-cli: governor_rpm_stored refused: no choice in the window gives it true here (it stays false)\n"}},
      {"corvan.bin", "\"raw\": 12000", "\"raw\": 12500",
       {1, "", "tavio-cli: spoolup_ms refused: no entry into its field stores 12500 (12s)\n"}},
      {"corvan.bin", "\"param_version\": \"0x0401\"", "\"param_version\": \"0x0400\"",
       {1, "", "tavio-cli: param_version refused: the document has \"0x0400\", the file \"0x0401\"; nothing in the "
               "window changes it\n"}},
      {"corvan.bin", "\"raw\": \"0x00010B15\"", "\"raw\": \"0x00010B05\"",
       {1, "", "tavio-cli: bit_4 refused: no choice in the window gives it false here (it stays true)\n"}},
      {"delmar.bin", "\"soft_start\": true", "\"soft_start\": false",
       {1, "", "tavio-cli: soft_start refused: no choice in the window gives it false here (it stays true)\n"}},
      {"delmar.bin", "\"text\": \"3000mV\"", "\"text\": \"3100mV\"",
       {1, "", "tavio-cli: cutoff_lipo_mv refused: the window disables it for DELMAR-Z\n"}},
      // The I-part also writes ten times its value beside it, which has no control.
      {"alder.bin", "\"raw\": 4,\n      \"text\": \"4\"\n    },\n    \"min_pwm\"",
       "\"raw\": 5,\n      \"text\": \"5\"\n    },\n    \"min_pwm\"",
       {1, "", "tavio-cli: aux_2c refused: the window has no control for it (the document has 128, the file 50)\n"}},
      {"corvan.bin", "\"brake_type\": \"Switching brake\"", "\"brake_type\": \"Sometimes\"",
       {1, "", "tavio-cli: " + doc + ": lists.brake_type is not an entry of its list as `show --json` writes it\n"}},
      {"corvan.bin", "\"reverse_rotation\": false", "\"reverse_rotation\": 1",
       {1, "", "tavio-cli: " + doc + ": flags.reverse_rotation is not true or false\n"}},
      {"corvan.bin", "\"raw\": \"0x00010B15\"", "\"raw\": \"B15\"",
       {1, "", "tavio-cli: " + doc + ": flags.raw is not a hex number such as \"0x00000B15\"\n"}},
      // Edited lists and flags are chosen as in the window.
      {"corvan.bin", "\"brake_type\": \"Switching brake\"", "\"brake_type\": \"Proportional\"",
       {0, "brake_type: proportional\n", ""}},
      {"corvan.bin", "\"governor_type\": \"Off\"", "\"governor_type\": \"Governor Store\"",
       {0, "governor_type: store\n", ""}},
      {"corvan.bin", "\"reverse_rotation\": false", "\"reverse_rotation\": true", {0, "reverse_rotation: on\n", ""}},
      {"corvan.bin", "\"shutdown\": true", "\"shutdown\": false", {0, "shutdown: off\n", ""}},
      {"corvan.bin", "\"battery_type\": 1", "\"battery_type\": 0", {0, "battery_type: nimh\n", ""}},
      {"corvan.bin", "\"text\": \"5.6V\"", "\"text\": \"7.25\"", {0, "bec_voltage_mv: 7.2V\n", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.to);
    edited(c.file, c.from, c.to);
    fs::remove(Path("out.bin"));
    EXPECT_EQ(Run({"set", Path(c.file), Path("out.bin"), "--from", doc}), c.result);
    EXPECT_EQ(fs::exists(Path("out.bin")), c.result.code == 0);
  }
}

}  // namespace
}  // namespace tavio::test
