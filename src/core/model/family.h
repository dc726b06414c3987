#pragma once
// ESC families and the identity word the unit reports.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavio {

inline constexpr uint16_t kFamilyNone = 0;
inline constexpr uint16_t kFamilyAlder = 100;
inline constexpr uint16_t kFamilyBrenta = 200;
inline constexpr uint16_t kFamilyCorvan = 300;
inline constexpr uint16_t kFamilyDelmarZ = 400;

// Parameter-set versions that select the two BRENTA/CORVAN layouts.
inline constexpr uint16_t kParamVersion80B = 0x0400;
inline constexpr uint16_t kParamVersion92B = 0x0401;
// What the ALDER and DELMAR-Z default sets write.
inline constexpr uint16_t kParamVersionAlderDelmar = 0x0104;

constexpr uint16_t FamilyCode(uint32_t identity_word) {
  return static_cast<uint16_t>((identity_word >> 12) & 0xFFF);
}
constexpr uint16_t ModelNumber(uint32_t identity_word) {
  return static_cast<uint16_t>(identity_word & 0xFFF);
}
constexpr uint32_t MakeIdentityWord(uint16_t family, uint16_t model) {
  return (static_cast<uint32_t>(family & 0xFFF) << 12) | (model & 0xFFFu);
}

constexpr bool IsKnownFamily(uint16_t family) {
  return family == kFamilyAlder || family == kFamilyBrenta || family == kFamilyCorvan ||
         family == kFamilyDelmarZ;
}
constexpr bool IsBrentaOrCorvan(uint16_t family) {
  return family == kFamilyBrenta || family == kFamilyCorvan;
}

// "ALDER", "BRENTA", "CORVAN", "DELMAR-Z"; empty for any other code.
std::string_view FamilyName(uint16_t family);

// A name in any letter case, or a decimal number of 1..4095.
std::optional<uint16_t> ParseFamily(std::string_view text);

}  // namespace tavio
