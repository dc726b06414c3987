#include <ostream>

#include "cli/file_commands.h"
#include "cli/image_report.h"
#include "core/model/family.h"

namespace tavio::cli {
namespace {

std::string FamilyLabel(uint16_t family) {
  const std::string_view name = FamilyName(family);
  return std::to_string(family) + " (" + (name.empty() ? std::string("unknown") : std::string(name)) + ")";
}

std::string Shown(const FieldReport& field) {
  return field.text ? field.raw + " (" + *field.text + ")" : field.raw;
}

}  // namespace

int CommandDiff(Context& context) {
  ConfigFile a;
  ConfigFile b;
  if (!ReadFileForInspection(context, context.options.args[0], a) ||
      !ReadFileForInspection(context, context.options.args[1], b)) {
    return kExitUsage;
  }
  if (a.family == b.family && a.image == b.image) return kExitOk;

  std::ostream& out = context.out;
  if (a.family != b.family) out << "family: " << FamilyLabel(a.family) << " -> " << FamilyLabel(b.family) << "\n";

  // Both images are read by the first file's layout, or the second's when
  // the first has none, so the same bytes carry the same name on both sides.
  auto layout = SelectLayout(a.family, ParamVersion(a.image));
  if (!layout) layout = SelectLayout(b.family, ParamVersion(b.image));
  size_t covered = 0;
  if (layout) {
    const std::vector<FieldReport> fields_a = ReportFields(a.image, *layout);
    const std::vector<FieldReport> fields_b = ReportFields(b.image, *layout);
    for (size_t i = 0; i < fields_a.size() && i < fields_b.size(); ++i) {
      const FieldReport& fa = fields_a[i];
      const FieldReport& fb = fields_b[i];
      if (fa.raw == fb.raw) continue;
      out << FieldName(fa.field) << ": " << Shown(fa) << " -> " << Shown(fb) << "\n";
      if (fa.field != Field::Flags) continue;
      const std::vector<FlagReport> flags_a = ReportFlags(Flags(a.image));
      const std::vector<FlagReport> flags_b = ReportFlags(Flags(b.image));
      for (size_t f = 0; f < flags_a.size(); ++f) {
        if (flags_a[f].value == flags_b[f].value) continue;
        out << "  " << flags_a[f].name << ": " << flags_a[f].value << " -> " << flags_b[f].value << "\n";
      }
    }
    covered = GetLayoutDef(*layout).block_length;
  }
  // Bytes no field of the layout covers: past its block, or all without one.
  for (size_t i = covered; i < kImageSize; ++i) {
    if (a.image.bytes[i] == b.image.bytes[i]) continue;
    out << "byte " << HexValue(static_cast<uint32_t>(i), 2) << ": " << HexValue(a.image.bytes[i], 2) << " -> "
        << HexValue(b.image.bytes[i], 2) << "\n";
  }
  return kExitFailure;
}

}  // namespace tavio::cli
