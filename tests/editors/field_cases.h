#pragma once
// The numeric-field cases shared by the rule tests and the window tests:
// one entry typed into one field of one ESC, and what the image and the
// field hold afterwards.

#include <cstdint>
#include <string>
#include <vector>

#include "core/editors/field_rules.h"
#include "core/model/config_image.h"
#include "core/shell/control_ids.h"

namespace tavio::test {

struct EscSetup {
  const char* name;
  uint16_t family;
  uint16_t version;
  uint16_t model;
};

inline constexpr EscSetup kAlder{"ALDER", 100, 0x0104, 160};
inline constexpr EscSetup kBrenta400{"BRENTA 0x0400", 200, 0x0400, 160};
inline constexpr EscSetup kBrenta401{"BRENTA 0x0401", 200, 0x0401, 160};
inline constexpr EscSetup kBrenta401Model120{"BRENTA 120 0x0401", 200, 0x0401, 120};
inline constexpr EscSetup kCorvan{"CORVAN", 300, 0x0401, 160};
inline constexpr EscSetup kCorvanModel120{"CORVAN 120", 300, 0x0401, 120};
inline constexpr EscSetup kDelmar{"DELMAR-Z", 400, 0x0104, 160};
inline constexpr EscSetup kBrentaOld{"BRENTA 0x03FF", 200, 0x03FF, 160};  // no layout
inline constexpr EscSetup kOther{"family 500", 500, 0x0104, 7};

struct FieldCase {
  std::string label;
  EscSetup setup;
  ControlId id;
  uint32_t flags;       // flags word of the starting image
  size_t offset;        // where the field's value lies
  uint16_t prior;       // its value before the entry
  std::u16string entry;
  CommitStatus status;
  uint16_t after;       // its value afterwards
  std::string text;     // what the field shows afterwards (UTF-8)
  int aux_prior = -1;   // I-part: the value at 0x2C before and after
  int aux_after = -1;
};

// The image a case starts from: all zero but its flags and field.
ConfigImage StartImage(const FieldCase& c);
// The image a case must leave behind.
ConfigImage ExpectedImage(const FieldCase& c);

// Lowest and highest accepted value and the first refused one on each side,
// for every numeric field and every family that edits it.
std::vector<FieldCase> BoundsCases();
// Units, their case, signs, zeros, blanks, separators, trailing text, length.
std::vector<FieldCase> SyntaxCases();
// Fields the ESC's layout has no place for, and every field of an unknown family.
std::vector<FieldCase> NotStoredCases();

}  // namespace tavio::test
