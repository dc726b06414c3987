#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/file_commands.h"
#include "cli/image_report.h"
#include "cli/set_command.h"
#include "core/editors/field_formats.h"
#include "core/files/config_file.h"
#include "core/model/family.h"

namespace tavio::cli {
namespace {

using Json = nlohmann::ordered_json;

// A pipe or a folder is refused before it is opened: a pipe would wait for a writer.
bool LoadDocument(Context& context, const std::string& path, Json& document) {
  namespace fs = std::filesystem;
  // UTF-8 like every path of the program.
  const fs::path file(std::u8string(path.begin(), path.end()));
  if (IsNonRegularFile(path)) {
    context.err << "tavio-cli: " << path << " is not a regular file\n";
    return false;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    context.err << "tavio-cli: cannot read " << path << "\n";
    return false;
  }
  document = Json::parse(in, nullptr, /*allow_exceptions=*/false);
  const auto fields = document.is_object() ? document.find("fields") : document.end();
  if (fields == document.end() || !fields->is_object()) {
    context.err << "tavio-cli: " << path << " is not a document as `show --json` writes it (no \"fields\" object)\n";
    return false;
  }
  return true;
}

Entry ChoiceEntry(const ControlChoice& choice) {
  const std::string text = ChoiceText(choice);
  const size_t equals = text.find('=');
  return {text.substr(0, equals), text.substr(equals + 1), {}, choice};
}

// The document's family, parameter set and block length, where it names
// them, are the file's: no choice in the window changes them.
bool SameHead(Context& context, const Json& document, const SetState& state) {
  bool same = true;
  const auto differs = [&](const char* name, const Json* value, const Json& file) {
    if (value == nullptr || *value == file) return;
    context.err << "tavio-cli: " << name << " refused: the document has " << value->dump() << ", the file "
                << file.dump() << "; nothing in the window changes it\n";
    same = false;
  };
  const auto at = [&](const Json& object, const char* key) -> const Json* {
    const auto found = object.is_object() ? object.find(key) : object.end();
    return found == object.end() ? nullptr : &*found;
  };
  const Json* family = at(document, "family");
  differs("family", family ? at(*family, "code") : nullptr, Json(state.file.family));
  differs("param_version", at(document, "param_version"), Json(HexValue(state.edit.param_version, 4)));
  differs("block_length", at(document, "block_length"), Json(BlockLength(state.file.image)));
  return same;
}

// The flags the document asks for: its raw flags, then each named bit and
// each list that says otherwise than the raw flags, as edited by hand (an
// edited list counts as chosen in the window). False with a message for a
// key that is not as `show --json` writes it.
bool WantedFlags(Context& context, const std::string& path, const Json& document, const SetState& state,
                 uint32_t& wanted) {
  wanted = Flags(state.file.image);
  // What the named bits and the lists are told apart from: the one that
  // differs from the raw flags was edited.
  uint32_t raw = wanted;
  const auto bad = [&](const std::string& key, const char* what) {
    context.err << "tavio-cli: " << path << ": " << key << " is not " << what << "\n";
    return false;
  };
  if (const auto flags = document.find("flags"); flags != document.end() && flags->is_object()) {
    if (const auto raw = flags->find("raw"); raw != flags->end()) {
      const std::string text = raw->is_string() ? raw->get<std::string>() : std::string();
      unsigned long value = 0;
      size_t used = 0;
      try {
        value = std::stoul(text, &used, 16);
      } catch (const std::exception&) {
        used = 0;
      }
      if (text.rfind("0x", 0) != 0 || used != text.size() || value > 0xFFFFFFFFul) {
        return bad("flags.raw", "a hex number such as \"0x00000B15\"");
      }
      wanted = static_cast<uint32_t>(value);
    }
    raw = wanted;
    for (const FlagReport& bit : ReportFlags(0)) {
      const auto value = bit.named ? flags->find(bit.name) : flags->end();
      if (value == flags->end()) continue;
      const uint32_t mask = ((1u << bit.width) - 1) << bit.first_bit;
      uint32_t set = 0;
      if (bit.width == 1 && value->is_boolean()) {
        set = value->get<bool>() ? 1 : 0;
      } else if (bit.width > 1 && value->is_number_unsigned() && value->get<uint32_t>() < (1u << bit.width)) {
        set = value->get<uint32_t>();
      } else {
        return bad("flags." + bit.name, bit.width == 1 ? "true or false" : "a number 0..3");
      }
      if (((raw & mask) >> bit.first_bit) != set) wanted = (wanted & ~mask) | (set << bit.first_bit);
    }
  }
  if (const auto lists = document.find("lists"); lists != document.end() && lists->is_object()) {
    ConfigImage described;
    SetFlags(described, raw);
    const Selections shown = ReportSelections(described);
    const struct {
      const char* key;
      ControlId list;
      const std::string& shown;
    } kLists[] = {{"battery_type", ctl::kBatteryType, shown.battery_type},
                  {"governor_type", ctl::kGovernorType, shown.governor_type},
                  {"brake_type", ctl::kBrakeType, shown.brake_type}};
    for (const auto& list : kLists) {
      const auto value = lists->find(list.key);
      if (value == lists->end()) continue;
      const auto index = value->is_string() ? ListIndex(list.list, value->get<std::string>()) : std::nullopt;
      if (!index) return bad(std::string("lists.") + list.key, "an entry of its list as `show --json` writes it");
      if (value->get<std::string>() != list.shown) wanted = ChoiceFlags({list.list, *index}, state.file.family, wanted);
    }
  }
  return true;
}

// The fields whose value the document changes, as entries. A field whose
// text is the text of its raw value is typed so that it stores that very
// value (a BEC voltage of 5640 mV as "5.640"); a field whose text was edited
// is typed as it reads. 1 or 2 after a message, else 0.
int FieldEntries(Context& context, const std::string& path, const Json& fields, const SetState& state,
                 std::vector<Entry>& entries) {
  const auto layout = SelectLayout(state.file.family, state.edit.param_version);
  const std::vector<FieldReport> shown = layout ? ReportFields(state.file.image, *layout) : std::vector<FieldReport>();
  int code = kExitOk;
  for (const auto& [name, field] : fields.items()) {
    const auto text = field.is_object() ? field.find("text") : field.end();
    if (text == field.end() || !text->is_string()) {
      context.err << "tavio-cli: " << path << ": field " << name << " has no \"text\" string\n";
      return kExitFailure;
    }
    const std::string& wanted = text->get_ref<const std::string&>();
    std::vector<Entry> one;
    if (!AddEntry(context, name, wanted, one)) return kExitUsage;
    Entry& entry = one.front();
    const auto now = std::find_if(shown.begin(), shown.end(), [&](const FieldReport& report) {
      return report.text && FieldName(report.field) == name;
    });
    const auto raw = field.find("raw");
    std::optional<FieldFormat> format;
    if (layout && !entry.choice && now != shown.end()) {
      EditContext edit = state.edit;
      edit.battery_type = entry.target.battery;
      format = EditedFormat(entry.target.id, *layout, EditedBatteryType(state.file.image, edit));
    }
    const bool by_value = format && format->field == now->field && raw != field.end() && raw->is_number_unsigned() &&
                          raw->get<uint64_t>() <= 0xFFFF &&
                          ToUtf8(FormatEncoded(raw->get<uint32_t>(), format->encoding, format->unit)) == wanted;
    if (!by_value) {
      // Edited by hand: typed as it reads, unless the file shows it already.
      if (now == shown.end() || *now->text != wanted) entries.push_back(std::move(entry));
      continue;
    }
    const uint32_t value = raw->get<uint32_t>();
    if (now->value && *now->value == value) continue;
    if (!ModelKnownFor(context, entry, state)) return kExitUsage;
    EditContext edit = state.edit;
    edit.battery_type = entry.target.battery;
    const auto typed = EntryStoring(entry.target.id, value, state.file.image, edit);
    if (!typed) {
      context.err << "tavio-cli: " << name << " refused: no entry into its field stores " << value << " (" << wanted
                  << ")\n";
      code = kExitFailure;
      continue;
    }
    entry.text = ToUtf8(*typed);
    entries.push_back(std::move(entry));
  }
  return code;
}

// The fields the window has no control for hold what the document says.
bool NotShownAsWanted(Context& context, const Json& document, const SetState& state) {
  const auto not_shown = document.find("not_shown");
  if (not_shown == document.end() || !not_shown->is_object()) return true;
  const auto layout = SelectLayout(state.file.family, state.edit.param_version);
  const std::vector<FieldReport> fields = layout ? ReportFields(state.file.image, *layout) : std::vector<FieldReport>();
  bool same = true;
  for (const auto& [name, wanted] : not_shown->items()) {
    const auto now = std::find_if(fields.begin(), fields.end(),
                                  [&](const FieldReport& report) { return FieldName(report.field) == name; });
    const Json held = now == fields.end() ? Json(nullptr) : now->value ? Json(*now->value) : Json(now->raw);
    if (held == wanted) continue;
    context.err << "tavio-cli: " << name << " refused: the window has no control for it (the document has "
                << wanted.dump() << ", the file " << (now == fields.end() ? "no such field" : held.dump()) << ")\n";
    same = false;
  }
  return same;
}

}  // namespace

int ApplyDocument(Context& context, const std::string& path, SetState& state) {
  Json document;
  if (!LoadDocument(context, path, document)) return kExitFailure;
  if (!SameHead(context, document, state)) return kExitFailure;
  uint32_t wanted = 0;
  if (!WantedFlags(context, path, document, state, wanted)) return kExitFailure;
  std::vector<Entry> entries;
  int code = FieldEntries(context, path, document["fields"], state, entries);
  if (code == kExitUsage) return code;
  for (const Entry& entry : entries) {
    if (!ModelKnownFor(context, entry, state)) return kExitUsage;
  }
  if (code != kExitOk) return code;

  const uint16_t family = state.file.family;
  const uint16_t version = state.edit.param_version;
  for (const Entry& entry : entries) {
    // A field the window disables is reached as the user would: through the
    // choices that enable it.
    const auto path_there = PathToEnable(entry.target.id, family, version, Flags(state.file.image));
    for (const ControlChoice& choice : path_there.value_or(std::vector<ControlChoice>())) {
      if (!ApplyEntry(context, ChoiceEntry(choice), state)) return kExitFailure;
    }
    if (!ApplyEntry(context, entry, state)) return kExitFailure;
  }

  const FlagsPath flags = PathToFlags(family, version, Flags(state.file.image), wanted);
  for (const ControlChoice& choice : flags.choices) {
    if (!ApplyEntry(context, ChoiceEntry(choice), state)) return kExitFailure;
  }
  if (flags.flags != wanted) {
    const std::vector<FlagReport> held = ReportFlags(flags.flags);
    const std::vector<FlagReport> asked = ReportFlags(wanted);
    for (size_t i = 0; i < asked.size(); ++i) {
      if (asked[i].value == held[i].value) continue;
      const auto spelled = [&](const FlagReport& bit) {
        return bit.width == 1 ? std::string(bit.value != 0 ? "true" : "false") : std::to_string(bit.value);
      };
      context.err << "tavio-cli: " << asked[i].name << " refused: no choice in the window gives it "
                  << spelled(asked[i]) << " here (it stays " << spelled(held[i]) << ")\n";
    }
    code = kExitFailure;
  }
  if (!NotShownAsWanted(context, document, state)) code = kExitFailure;
  return code;
}

}  // namespace tavio::cli
