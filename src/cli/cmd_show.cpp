#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/file_commands.h"
#include "cli/image_report.h"
#include "core/model/family.h"

namespace tavio::cli {
namespace {

// Everything `show` prints, in the order it prints it.
struct FileReport {
  std::string path;
  uint16_t family = 0;
  std::optional<ImageLayout> layout;
  uint16_t block_length = 0;
  uint16_t param_version = 0;
  std::optional<ChecksumSpec> checksum;
  uint32_t checksum_stored = 0;
  uint32_t checksum_computed = 0;
  std::vector<FieldReport> shown;
  std::vector<FieldReport> not_shown;
  uint32_t flags = 0;
  Selections selections;
  std::string past_block;  // hex of the image bytes behind the layout's block
  std::string bytes;       // hex of all 92 image bytes
};

FileReport Describe(const std::string& path, const ConfigFile& file) {
  FileReport report;
  report.path = path;
  report.family = file.family;
  report.block_length = BlockLength(file.image);
  report.param_version = ParamVersion(file.image);
  report.layout = SelectLayout(file.family, report.param_version);
  // The rule a save of this family at the file's own version seals by.
  report.checksum = SaveChecksum(file.family, report.param_version);
  if (report.checksum) {
    report.checksum_stored = GetU32(file.image, report.checksum->offset);
    report.checksum_computed = ImageChecksum(file.image, report.checksum->prefix);
  }
  report.flags = Flags(file.image);
  report.selections = ReportSelections(file.image);
  report.bytes = HexBytes(file.image.bytes);
  if (report.layout) {
    for (FieldReport& field : ReportFields(file.image, *report.layout)) {
      if (IsHeadField(field.field)) continue;
      (field.text ? report.shown : report.not_shown).push_back(std::move(field));
    }
    const size_t end = GetLayoutDef(*report.layout).block_length;
    report.past_block = HexBytes(std::span<const uint8_t>(file.image.bytes).subspan(end));
  }
  return report;
}

const char* ChecksumState(const FileReport& report) {
  if (!report.checksum) return "none";
  return report.checksum_stored == report.checksum_computed ? "correct" : "wrong";
}

std::string Pad(std::string_view text, size_t width) {
  std::string out(text);
  if (out.size() < width) out.append(width - out.size(), ' ');
  return out;
}

void PrintText(std::ostream& out, const FileReport& r) {
  const std::string_view name = FamilyName(r.family);
  out << "File:             " << r.path << "\n";
  out << "Family:           " << (name.empty() ? "unknown" : std::string(name)) << " (" << r.family << ")\n";
  out << "Layout:           " << (r.layout ? std::string(LayoutName(*r.layout)) : "none") << "\n";
  out << "Block length:     " << r.block_length << " bytes\n";
  out << "Parameter set:    " << HexValue(r.param_version, 4) << "\n";
  out << "Checksum:         ";
  if (!r.checksum) {
    out << "none for this family and parameter set\n";
  } else if (r.checksum_stored == r.checksum_computed) {
    out << "correct (" << HexValue(r.checksum_stored, 8) << " at " << HexValue(r.checksum->offset, 2) << ", over "
        << int{r.checksum->prefix} << " bytes)\n";
  } else {
    out << "WRONG (" << HexValue(r.checksum_stored, 8) << " at " << HexValue(r.checksum->offset, 2) << ", "
        << HexValue(r.checksum_computed, 8) << " computed over " << int{r.checksum->prefix} << " bytes)\n";
  }
  if (!r.layout) {
    // Without a layout no byte has a meaning; show them all.
    out << "Image bytes:\n";
    for (size_t row = 0; row < kImageSize; row += 16) {
      out << "  " << HexValue(static_cast<uint32_t>(row), 2) << "  "
          << r.bytes.substr(row * 3, std::min<size_t>(16, kImageSize - row) * 3 - 1) << "\n";
    }
    return;
  }
  out << "Shown in the window:\n";
  for (const FieldReport& f : r.shown) out << "  " << Pad(FieldName(f.field), 22) << Pad(f.raw, 8) << *f.text << "\n";
  out << "Flags:            " << HexValue(r.flags, 8) << "\n";
  for (const FlagReport& flag : ReportFlags(r.flags)) {
    if (flag.named || flag.value != 0) out << "  " << Pad(flag.name, 22) << flag.value << "\n";
  }
  out << "  " << Pad("battery type", 22) << r.selections.battery_type << "\n";
  out << "  " << Pad("governor type", 22) << r.selections.governor_type << "\n";
  out << "  " << Pad("brake type", 22) << r.selections.brake_type << "\n";
  out << "Not shown:\n";
  for (const FieldReport& f : r.not_shown) out << "  " << Pad(FieldName(f.field), 22) << f.raw << "\n";
  if (!r.past_block.empty()) out << "  " << Pad("past the block", 22) << r.past_block << "\n";
}

// One JSON object; names that are not UTF-8 get replacement characters.
void PrintJson(std::ostream& out, const FileReport& r) {
  using Json = nlohmann::ordered_json;
  Json json;
  json["file"] = r.path;
  json["family"] = {{"code", r.family}, {"name", FamilyName(r.family)}};
  json["layout"] = r.layout ? Json(LayoutName(*r.layout)) : Json(nullptr);
  json["block_length"] = r.block_length;
  json["param_version"] = HexValue(r.param_version, 4);
  Json& checksum = json["checksum"] = {{"state", ChecksumState(r)}};
  if (r.checksum) {
    checksum["prefix"] = r.checksum->prefix;
    checksum["offset"] = r.checksum->offset;
    checksum["value"] = HexValue(r.checksum_stored, 8);
    checksum["computed"] = HexValue(r.checksum_computed, 8);
  }
  // Head fields aside, every field of a layout is a number or a run of bytes.
  const auto raw = [](const FieldReport& f) { return f.value ? Json(*f.value) : Json(f.raw); };
  Json& fields = json["fields"] = Json::object();
  for (const FieldReport& f : r.shown) fields[std::string(FieldName(f.field))] = {{"raw", raw(f)}, {"text", *f.text}};
  if (r.layout) {
    Json& flags = json["flags"] = {{"raw", HexValue(r.flags, 8)}};
    Json others = Json::array();
    for (const FlagReport& flag : ReportFlags(r.flags)) {
      if (flag.named) {
        flags[flag.name] = flag.width == 1 ? Json(flag.value != 0) : Json(flag.value);
      } else if (flag.value != 0) {
        others.push_back(flag.first_bit);
      }
    }
    flags["other_bits_set"] = others;
    json["lists"] = {{"battery_type", r.selections.battery_type},
                     {"governor_type", r.selections.governor_type},
                     {"brake_type", r.selections.brake_type}};
  } else {
    json["flags"] = nullptr;
    json["lists"] = nullptr;
  }
  Json& not_shown = json["not_shown"] = Json::object();
  for (const FieldReport& f : r.not_shown) not_shown[std::string(FieldName(f.field))] = raw(f);
  json["past_block"] = r.past_block;
  json["bytes"] = r.bytes;
  out << json.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
}

}  // namespace

int CommandShow(Context& context) {
  const std::string& path = context.options.args[0];
  ConfigFile file;
  if (!ReadFileForInspection(context, path, file)) return kExitFailure;
  const FileReport report = Describe(path, file);
  if (context.options.json) {
    PrintJson(context.out, report);
  } else {
    PrintText(context.out, report);
  }
  return kExitOk;
}

}  // namespace tavio::cli
