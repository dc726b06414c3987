#pragma once
// The factory default sets per family and model type, as pure operations on
// the image. Every set ends by sealing the image.

#include <cstdint>

#include "core/model/config_image.h"

namespace tavio {

// Model-type codes the defaults dialogs return; 0 means cancelled.
namespace model_type {
inline constexpr int kCancelled = 0;
inline constexpr int kSailPlane = 1;
inline constexpr int kSportsPlane = 2;
inline constexpr int kHelicopter = 3;
inline constexpr int kRcCar = 4;
inline constexpr int kMulticopter = 6;
inline constexpr int kForwardReverse = 7;
inline constexpr int kReverseRotation = 8;
inline constexpr int kReset = 9;
}  // namespace model_type

// Each returns false, leaving the image unchanged, for a code the set lacks.
bool ApplyAlderDefaults(ConfigImage& image, int code);      // codes 1-4, 9
bool ApplyBaseDefaults(ConfigImage& image, int code);       // BRENTA/CORVAN at 0x0400: 1-4, 9
bool ApplyDelmarZDefaults(ConfigImage& image, int code);    // codes 6-9
bool ApplyExtendedBrentaDefaults(ConfigImage& image, int code, uint16_t model_number);
bool ApplyExtendedCorvanDefaults(ConfigImage& image, int code, uint16_t model_number);

// The set the connected family and version call for; false when there is
// none or the code does not belong to it.
bool ApplyDefaultSet(ConfigImage& image, uint16_t family, uint16_t param_version,
                     uint16_t model_number, int code);

// Which defaults dialog a family gets: 102 for DELMAR-Z, 101 for all others.
inline constexpr int kDefaultsDialogPlanes = 101;
inline constexpr int kDefaultsDialogCopters = 102;
int DefaultsDialogFor(uint16_t family);
// Whether the family's dialog produces the code (RC Car is never confirmable on ALDER).
bool DefaultsDialogCanConfirm(uint16_t family, int code);

}  // namespace tavio
