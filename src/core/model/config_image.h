#pragma once
// The ESC's configuration block as held in memory, its four layouts, the
// flag bits and the block checksum.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/model/bytes.h"

namespace tavio {

inline constexpr size_t kImageSize = 92;

struct ConfigImage {
  std::array<uint8_t, kImageSize> bytes{};

  std::span<uint8_t> span() { return bytes; }
  std::span<const uint8_t> span() const { return bytes; }
  bool operator==(const ConfigImage&) const = default;
};

// Offsets of the common head that every layout shares.
inline constexpr size_t kOffBlockLength = 0x00;
inline constexpr size_t kOffParamVersion = 0x02;
inline constexpr size_t kOffFlags = 0x04;

inline uint16_t GetU16(const ConfigImage& image, size_t offset) { return GetU16(image.span(), offset); }
inline uint32_t GetU32(const ConfigImage& image, size_t offset) { return GetU32(image.span(), offset); }
inline void PutU16(ConfigImage& image, size_t offset, uint16_t v) { PutU16(image.span(), offset, v); }
inline void PutU32(ConfigImage& image, size_t offset, uint32_t v) { PutU32(image.span(), offset, v); }

inline uint16_t BlockLength(const ConfigImage& image) { return GetU16(image, kOffBlockLength); }
inline uint16_t ParamVersion(const ConfigImage& image) { return GetU16(image, kOffParamVersion); }
inline uint32_t Flags(const ConfigImage& image) { return GetU32(image, kOffFlags); }
inline void SetFlags(ConfigImage& image, uint32_t flags) { PutU32(image, kOffFlags, flags); }

// What an interrupted store leaves behind: the erase ran, no block followed.
inline constexpr uint16_t kErasedBlockLength = 0xFFFF;
inline bool IsErasedBlock(const ConfigImage& image) {
  for (uint8_t b : image.bytes) {
    if (b != 0xFF) return false;
  }
  return true;
}

// A length word above the image's 92 bytes that is not the erased 0xFFFF:
// such a block cannot be read whole, so it is not read at all.
inline bool IsUnreadableLength(uint16_t length) { return length > kImageSize && length != kErasedBlockLength; }
inline bool IsUnreadableBlock(const ConfigImage& image) { return IsUnreadableLength(GetU16(image.span(), 0)); }

// Bits of `flags`.
namespace flag {
inline constexpr uint32_t kBrakeOn = 1u << 0;
inline constexpr uint32_t kBrakeProportional = 1u << 1;
inline constexpr unsigned kBatteryTypeShift = 2;
inline constexpr uint32_t kBatteryTypeMask = 3u << kBatteryTypeShift;
inline constexpr uint32_t kGovernorOn = 1u << 5;
inline constexpr uint32_t kGovernorStore = 1u << 6;
inline constexpr uint32_t kGovernorRpmStored = 1u << 7;
inline constexpr uint32_t kShutdown = 1u << 8;
inline constexpr uint32_t kAutoTiming = 1u << 9;
inline constexpr uint32_t kReverseRotation = 1u << 10;
inline constexpr uint32_t kForwardBackward = 1u << 13;
inline constexpr uint32_t kSoftStart = 1u << 14;
}  // namespace flag

inline bool HasFlag(const ConfigImage& image, uint32_t bit) { return (Flags(image) & bit) != 0; }

// Battery type in bits 2..3; the value 3 is handled as LiPo everywhere.
enum class BatteryType : uint8_t { NiMh = 0, LiPo = 1, LiFePo = 2 };
inline uint32_t BatteryTypeBits(const ConfigImage& image) {
  return (Flags(image) & flag::kBatteryTypeMask) >> flag::kBatteryTypeShift;
}
inline BatteryType EffectiveBatteryType(const ConfigImage& image) {
  const uint32_t bits = BatteryTypeBits(image);
  return bits == 0 ? BatteryType::NiMh : bits == 2 ? BatteryType::LiFePo : BatteryType::LiPo;
}

// --- Layouts -----------------------------------------------------------------

enum class ImageLayout : uint8_t { Layout80A, Layout80B, Layout92B, Layout88D };

// Every named field of any layout. The same name may sit at different
// offsets in different layouts; a layout may lack a field.
enum class Field : uint8_t {
  BlockLength, ParamVersion, Flags,
  CutoffNimhMv, CutoffLipoMv, CutoffLifepoMv, BrakeSlewPosMs, BecVoltageMv, HoldTimeMs,
  FixTimingDeg, StickBrakeUs, StickNeutralUs, StickFullUs, Aux1C, Aux1E, Aux20,
  SlewPosMs, SlewNegMs, SpoolupMs, GovP, GovI, RiCompMohm,
  Aux2C, Aux2E, Aux30, Aux34, Aux36, Aux38, MinPwm, MaxStartCurrent, Reserved3E,
  CapacityLimitDah, BrakeSlewNegMs, BrakeMinPwm, BrakeMaxPwm, Aux42, Aux44, Aux46, Aux48,
  PoleCount, GearRatioX100,
  WarnCutoffMv, WarnMotorCurrentA, WarnFetTempC, WarnBecTempC, WarnBecCurrentMa, WarnCapacityDah,
  Gap52, Checksum,
  Count
};

struct FieldDef {
  Field field;
  uint8_t offset;
  uint8_t width;  // 2 or 4 for numbers; any other width is a run of raw bytes
};

struct ChecksumSpec {
  uint8_t prefix;  // bytes covered: 76, 82 or 88
  uint8_t offset;  // where the 32-bit checksum is stored
  bool operator==(const ChecksumSpec&) const = default;
};
inline constexpr ChecksumSpec kChecksum76 = {76, 0x4C};
inline constexpr ChecksumSpec kChecksum82 = {82, 0x54};
inline constexpr ChecksumSpec kChecksum88 = {88, 0x58};

struct LayoutDef {
  ImageLayout layout;
  std::string_view name;  // "Layout80A", ...
  uint16_t block_length;
  ChecksumSpec checksum;
  std::span<const FieldDef> fields;  // in offset order, covering the whole block
};

const LayoutDef& GetLayoutDef(ImageLayout layout);
std::string_view LayoutName(ImageLayout layout);
std::optional<FieldDef> FindField(ImageLayout layout, Field field);

// Lower-case image field names ("cutoff_lipo_mv"); the CLI and JSON use them.
std::string_view FieldName(Field field);
std::optional<Field> FieldFromName(std::string_view name);

// Reads a 16- or 32-bit field of the layout; nullopt when the layout lacks it.
std::optional<uint32_t> ReadField(const ConfigImage& image, ImageLayout layout, Field field);
// Writes a 16- or 32-bit field; false (and nothing written) when the layout lacks it.
bool WriteField(ConfigImage& image, ImageLayout layout, Field field, uint32_t value);

// --- Checksum and sealing ----------------------------------------------------

// Complement of the sum of the prefix's little-endian 16-bit words.
uint32_t ImageChecksum(const ConfigImage& image, size_t prefix);
void SealImage(ConfigImage& image, ChecksumSpec spec);
bool ChecksumMatches(const ConfigImage& image, ChecksumSpec spec);

// --- Which layout each operation uses ------------------------------------------
// The operations draw the line between the BRENTA/CORVAN layouts at different
// places; each keeps its own rule.

// Display of values: nullopt for an unknown family or BRENTA/CORVAN below 0x0400.
std::optional<ImageLayout> SelectLayout(uint16_t family, uint16_t param_version);
// Sealing before "Store on ESC": any BRENTA/CORVAN version other than 0x0400 takes 88 bytes.
std::optional<ChecksumSpec> StoreChecksum(uint16_t family, uint16_t param_version);
// Sealing before saving a file: BRENTA/CORVAN versions other than 0x0400/0x0401 get none.
std::optional<ChecksumSpec> SaveChecksum(uint16_t family, uint16_t param_version);
// Checksum test of a loaded file: by the file's family and the connected version.
std::optional<ChecksumSpec> LoadTestChecksum(uint16_t file_family, uint16_t connected_version);

// Every layout ends with its checksum, so the block length a checksum rule
// goes with is where that checksum ends: 80, 88 or 92 bytes.
constexpr uint16_t BlockLengthFor(ChecksumSpec spec) { return static_cast<uint16_t>(spec.offset + 4); }
// The only length word a store may write to this ESC; nothing for a family
// without a store rule, whose blocks only the image's size bounds.
std::optional<uint16_t> StoreBlockLength(uint16_t family, uint16_t param_version);

enum class DefaultSetKind : uint8_t { None, Alder, DelmarZ, Base, ExtendedBrenta, ExtendedCorvan };
DefaultSetKind DefaultSetFor(uint16_t family, uint16_t param_version);

}  // namespace tavio
