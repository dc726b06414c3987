#include "core/shell/accessible_names.h"

#include "core/shell/control_table.h"
#include "core/shell/help.h"

namespace tavio {
namespace {

// Every field, list, check box and radio button is named by its row's label
// and described by its help; the pole-count arrows only change their buddy,
// so they go by its row.
const Parameter* NamingRow(ControlId id) {
  return FindParameter(id == ctl::kPoleArrows ? kPoleCountArrows.buddy : id);
}

}  // namespace

Text AccessibleName(ControlId id, Language language) {
  const ControlDef* label = FindControl(NamingLabel(id));
  return label == nullptr ? Text() : ControlText(*label, language);
}

Text AccessibleDescription(ControlId id, Language language) {
  const Parameter* row = NamingRow(id);
  if (row == nullptr) return Text();
  return Text(HelpFieldText(language, row->help));
}

ControlId NamingLabel(ControlId id) {
  const Parameter* row = NamingRow(id);
  return row == nullptr ? 0 : row->label;
}

}  // namespace tavio
