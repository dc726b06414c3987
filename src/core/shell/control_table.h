#pragma once
// The controls of the main window: kind, text and pixel geometry of each, in
// creation order. Creation order is also the Tab order and decides which of
// two overlapping controls a hit test finds.

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/ids/control_ids.h"
#include "core/model/parameters.h"
#include "core/text/string_ids.h"
#include "core/text/string_table.h"
#include "core/text/text.h"

namespace tavio {

struct ControlDef {
  ControlId id;
  ControlKind kind;
  StringId text_id;         // 0 when the text is a literal or there is none
  const char16_t* literal;  // literal or initial placeholder; nullptr with text_id or no text
  int x, y, w, h;           // client pixels; for lists h is the dropped-down height
  bool starts_group;        // first radio button of a group
};

struct ListItemDef {
  StringId text_id;         // 0 when the item is a literal
  const char16_t* literal;  // nullptr when text_id is used
};

// Up-down arrows beside the pole-count field.
struct ArrowsDef {
  ControlId buddy;
  int lower, upper, position, increment;
};
inline constexpr ArrowsDef kPoleCountArrows{ctl::kPoleCount, 2, 32, 2, 2};

// The parameters' controls and the 19 others.
inline constexpr std::size_t kControlCount = ParameterControlCount() + 19;
// Texts from the string table go through a 128-character buffer.
inline constexpr std::size_t kMaxControlTextLength = 127;

// All controls in creation order.
std::span<const ControlDef> ControlTable();
// nullptr for an ID no control has.
const ControlDef* FindControl(ControlId id);
// Items of a drop-down list in insertion order; empty for any other control.
std::span<const ListItemDef> ListItems(ControlId list_id);

// Fields, check boxes, radio buttons, lists and command buttons take the
// keyboard focus with Tab; labels, values, group boxes and arrows do not.
bool IsTabStop(ControlKind kind);

// The text a control is created with, in the given language.
Text ControlText(const ControlDef& control, Language language);
Text ListItemText(const ListItemDef& item, Language language);

}  // namespace tavio
