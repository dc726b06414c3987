#include <algorithm>

#include "core/shell/editors.h"
#include "core/editors/field_rules.h"
#include "core/model/family.h"

namespace tavio {
namespace {

EditContext ConnectedContext(const App& app) {
  EditContext context;
  context.family = Family(app);
  context.model_number = Model(app);
  context.param_version = EscVersion(app);
  return context;
}

// What a 32-unit text buffer would receive.
Text ReadFieldText(const App& app, ControlId id) {
  Text text = app.panel->GetText(id);
  if (text.size() > kFieldTextMax) text.resize(kFieldTextMax);
  return text;
}

void ShowPoleCountError(App& app) {
  ShowBox(app, sid::kInvalidPoleCount, sid::kInvalidDataCaption, BoxIcon::Error);
}

void CommitNumericField(App& app, ControlId id) {
  const Text text = ReadFieldText(app, id);
  const CommitResult result = CommitField(id, text, app.image, ConnectedContext(app));
  if (result.accepted()) app.image = result.image;
  // Only the pole count announces a refusal, and never for an empty field.
  if (result.status == CommitStatus::Refused && id == ctl::kPoleCount && !text.empty()) {
    ShowPoleCountError(app);
  }
  // With nowhere to store, the field keeps what was typed.
  if (result.status != CommitStatus::NotStored) app.panel->SetText(id, result.text);
  app.hover_ready = true;
}

bool HasPoleCount(uint16_t family) {
  return family == kFamilyBrenta || family == kFamilyCorvan || family == kFamilyDelmarZ;
}

}  // namespace

bool IsNumericField(ControlId id) {
  const auto ids = NumericFieldIds();
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool OnNumericFieldCommand(App& app, ControlId id, uint16_t code) {
  switch (code) {
    case ctl::kEnSetFocus:
      // Hover help must not replace the field's help while the user types.
      app.hover_ready = false;
      app.focused_field = id;
      return true;
    case ctl::kEnKillFocus:
      if (app.focused_field == id) app.focused_field = 0;
      CommitNumericField(app, id);
      return true;
    default: return false;
  }
}

void CommitFocusedField(App& app) {
  const ControlId id = app.focused_field;
  if (id == 0) return;
  app.focused_field = 0;
  CommitNumericField(app, id);
}

void OnPoleCountArrows(App& app) {
  // The arrows have already written their position into the field; judge it
  // as it stands, without rewriting it.
  const Text text = ReadFieldText(app, ctl::kPoleCount);
  const uint16_t family = Family(app);
  if (!HasPoleCount(family)) return;
  const CommitResult result = CommitField(ctl::kPoleCount, text, app.image, ConnectedContext(app));
  if (result.accepted()) {
    app.image = result.image;
  } else if (result.status == CommitStatus::Refused && !text.empty()) {
    ShowPoleCountError(app);
  }
}

}  // namespace tavio
