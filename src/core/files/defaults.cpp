#include "core/files/defaults.h"

#include <initializer_list>

#include "core/model/family.h"

namespace tavio {
namespace {

struct Value {
  uint8_t offset;
  uint8_t width;  // 2 or 4
  uint32_t value;
};

struct FlagChange {
  uint32_t set;
  uint32_t clear;
};

constexpr uint32_t Bits(std::initializer_list<unsigned> bits) {
  uint32_t mask = 0;
  for (unsigned b : bits) mask |= 1u << b;
  return mask;
}

void Apply(ConfigImage& image, std::initializer_list<Value> values) {
  for (const Value& v : values) {
    if (v.width == 4) {
      PutU32(image, v.offset, v.value);
    } else {
      PutU16(image, v.offset, static_cast<uint16_t>(v.value));
    }
  }
}

void ChangeFlags(ConfigImage& image, FlagChange change) {
  SetFlags(image, (Flags(image) & ~change.clear) | change.set);
}

void SetSticks(ConfigImage& image, uint16_t brake, uint16_t neutral, uint16_t full) {
  Apply(image, {{0x16, 2, brake}, {0x18, 2, neutral}, {0x1A, 2, full}});
}

bool IsOneOf(int code, std::initializer_list<int> codes) {
  for (int c : codes) {
    if (c == code) return true;
  }
  return false;
}

using namespace model_type;

// The base values and model changes shared by the 80- and 92-byte BRENTA/CORVAN sets.
void WriteBrentaCorvanBase(ConfigImage& image, int code) {
  Apply(image, {{0x00, 2, 80},    {0x08, 2, 800},   {0x0A, 2, 3000},  {0x0C, 2, 2300},
                {0x0E, 2, 1000},  {0x10, 2, 5600},  {0x12, 2, 2000},  {0x14, 2, 5},
                {0x1C, 2, 327},   {0x1E, 2, 204},   {0x20, 2, 40},    {0x22, 2, 4000},
                {0x24, 2, 200},   {0x26, 2, 12000}, {0x28, 2, 4},     {0x2A, 2, 4},
                {0x2C, 2, 0},     {0x30, 4, 30000}, {0x34, 2, 300},   {0x3A, 2, 81},
                {0x3C, 2, 100},   {0x3E, 2, 100},   {0x40, 2, 0},     {0x42, 2, 4096},
                {0x44, 4, 24000}, {0x48, 2, 2},     {0x4A, 2, 100}});
  ChangeFlags(image, {Bits({0, 2, 4, 8, 9, 11, 16}),
                      Bits({1, 3, 5, 6, 7, 10, 12, 13, 14, 15, 17, 18, 19})});
  switch (code) {
    case kSailPlane: Apply(image, {{0x0E, 2, 500}, {0x22, 2, 1000}}); break;
    case kSportsPlane: Apply(image, {{0x22, 2, 1000}}); break;
    case kHelicopter:
      ChangeFlags(image, {Bits({5, 12, 14}), Bits({0, 8})});
      Apply(image, {{0x22, 2, 8000}, {0x24, 2, 4000}, {0x3A, 2, 40}, {0x1C, 2, 1365},
                    {0x1E, 2, 0}, {0x20, 2, 1365}});
      break;
    case kRcCar:
      ChangeFlags(image, {Bits({1, 13, 15, 17}), 0});
      Apply(image, {{0x22, 2, 200}, {0x24, 2, 100}});
      break;
    case kReset:
      SetSticks(image, 0xFFFF, 0xFFFF, 0xFFFF);
      ChangeFlags(image, {Bits({11}), 0});
      break;
    default: break;
  }
}

bool ApplyExtended(ConfigImage& image, int code, uint16_t motor_current_a, uint16_t bec_current_ma) {
  if (!IsOneOf(code, {kSailPlane, kSportsPlane, kHelicopter, kRcCar, kReset})) return false;
  WriteBrentaCorvanBase(image, code);
  Apply(image, {{0x00, 2, 92},   {0x4C, 2, 3500}, {0x4E, 2, motor_current_a}, {0x50, 2, 90},
                {0x52, 2, 90},   {0x54, 2, bec_current_ma}, {0x56, 2, 0}});
  SealImage(image, kChecksum88);
  return true;
}

}  // namespace

bool ApplyAlderDefaults(ConfigImage& image, int code) {
  if (!IsOneOf(code, {kSailPlane, kSportsPlane, kHelicopter, kRcCar, kReset})) return false;
  Apply(image, {{0x00, 2, 80},    {0x02, 2, kParamVersionAlderDelmar}, {0x08, 2, 800},
                {0x0A, 2, 3000},  {0x0C, 2, 2300},  {0x0E, 2, 800},   {0x10, 2, 5600},
                {0x12, 2, 2000},  {0x14, 2, 5},     {0x1C, 2, 409},   {0x1E, 2, 409},
                {0x20, 2, 245},   {0x22, 2, 500},   {0x24, 2, 200},   {0x26, 2, 12000},
                {0x28, 2, 4},     {0x2A, 2, 4},     {0x2C, 2, 128},   {0x30, 4, 30000},
                {0x34, 2, 500},   {0x36, 2, 5000},  {0x38, 2, 10000}, {0x3A, 2, 204},
                {0x3C, 2, 100}});
  ChangeFlags(image, {Bits({0, 2, 4, 8, 9, 11}), Bits({1, 3, 5, 6, 7, 10, 12})});
  switch (code) {
    case kSailPlane: Apply(image, {{0x0E, 2, 400}}); break;
    case kHelicopter:
      ChangeFlags(image, {Bits({5, 12}), Bits({8})});
      Apply(image, {{0x20, 2, 2048}});
      break;
    case kReset:
      SetSticks(image, 0xFFFF, 0xFFFF, 0xFFFF);
      ChangeFlags(image, {Bits({11}), 0});
      break;
    default: break;
  }
  SealImage(image, kChecksum76);
  return true;
}

bool ApplyBaseDefaults(ConfigImage& image, int code) {
  if (!IsOneOf(code, {kSailPlane, kSportsPlane, kHelicopter, kRcCar, kReset})) return false;
  WriteBrentaCorvanBase(image, code);
  SealImage(image, kChecksum76);
  return true;
}

bool ApplyDelmarZDefaults(ConfigImage& image, int code) {
  if (!IsOneOf(code, {kMulticopter, kForwardReverse, kReverseRotation, kReset})) return false;
  Apply(image, {{0x00, 2, 88},    {0x02, 2, kParamVersionAlderDelmar}, {0x08, 2, 800},
                {0x0A, 2, 3000},  {0x0C, 2, 2300},  {0x0E, 2, 800},   {0x12, 2, 2000},
                {0x14, 2, 5},     {0x1C, 2, 204},   {0x1E, 2, 204},   {0x20, 2, 245},
                {0x22, 2, 100},   {0x24, 2, 100},   {0x26, 2, 12000}, {0x28, 2, 4},
                {0x2A, 2, 4},     {0x2C, 2, 128},   {0x30, 4, 20000}, {0x34, 2, 100},
                {0x36, 2, 2575},  {0x38, 2, 5500},  {0x3A, 2, 204},   {0x3C, 2, 100},
                {0x3E, 2, 0},     {0x40, 2, 14},    {0x42, 2, 500},   {0x44, 2, 500},
                {0x4A, 2, 3500},  {0x4C, 2, 68},    {0x4E, 2, 90},    {0x50, 2, 0}});
  ChangeFlags(image, {Bits({2, 9, 14}), Bits({0, 1, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13})});
  switch (code) {
    case kForwardReverse: ChangeFlags(image, {Bits({13}), 0}); break;
    case kReverseRotation: ChangeFlags(image, {Bits({10}), 0}); break;
    case kReset: SetSticks(image, 1000, 1000, 2000); break;
    default: break;
  }
  SealImage(image, kChecksum82);
  return true;
}

bool ApplyExtendedBrentaDefaults(ConfigImage& image, int code, uint16_t model_number) {
  const bool big = model_number == 200;
  return ApplyExtended(image, code, big ? 250 : 200, big ? 12500 : 8750);
}

bool ApplyExtendedCorvanDefaults(ConfigImage& image, int code, uint16_t model_number) {
  return ApplyExtended(image, code, model_number == 120 ? 150 : 100, 8750);
}

bool ApplyDefaultSet(ConfigImage& image, uint16_t family, uint16_t param_version,
                     uint16_t model_number, int code) {
  switch (DefaultSetFor(family, param_version)) {
    case DefaultSetKind::Alder: return ApplyAlderDefaults(image, code);
    case DefaultSetKind::DelmarZ: return ApplyDelmarZDefaults(image, code);
    case DefaultSetKind::Base: return ApplyBaseDefaults(image, code);
    case DefaultSetKind::ExtendedBrenta: return ApplyExtendedBrentaDefaults(image, code, model_number);
    case DefaultSetKind::ExtendedCorvan: return ApplyExtendedCorvanDefaults(image, code, model_number);
    case DefaultSetKind::None: break;
  }
  return false;
}

int DefaultsDialogFor(uint16_t family) {
  return family == kFamilyDelmarZ ? kDefaultsDialogCopters : kDefaultsDialogPlanes;
}

bool DefaultsDialogCanConfirm(uint16_t family, int code) {
  if (family == kFamilyDelmarZ) return IsOneOf(code, {kMulticopter, kForwardReverse, kReverseRotation, kReset});
  if (family == kFamilyAlder && code == kRcCar) return false;
  return IsOneOf(code, {kSailPlane, kSportsPlane, kHelicopter, kRcCar, kReset});
}

}  // namespace tavio
