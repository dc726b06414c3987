#include "core/model/family.h"

#include <cctype>
#include <charconv>
#include <string>

namespace tavio {

std::string_view FamilyName(uint16_t family) {
  switch (family) {
    case kFamilyAlder: return "ALDER";
    case kFamilyBrenta: return "BRENTA";
    case kFamilyCorvan: return "CORVAN";
    case kFamilyDelmarZ: return "DELMAR-Z";
    default: return "";
  }
}

std::optional<uint16_t> ParseFamily(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (uint16_t f : {kFamilyAlder, kFamilyBrenta, kFamilyCorvan, kFamilyDelmarZ}) {
    if (upper == FamilyName(f)) return f;
  }
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  if (value == 0 || value > 0xFFF) return std::nullopt;
  return static_cast<uint16_t>(value);
}

}  // namespace tavio
