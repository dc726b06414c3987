#include "core/shell/store_state.h"

#include <algorithm>

#include "core/shell/editors.h"
#include "core/shell/commands.h"

namespace tavio {
namespace {

// What a store would write: the block sealed by the store rule, so a copy
// that differs only in a stale checksum counts as the same.
ConfigImage AsStored(const App& app, ConfigImage image) {
  if (const auto spec = StoreChecksum(Family(app), EscVersion(app))) SealImage(image, *spec);
  return image;
}

}  // namespace

void NoteEscHolds(App& app) {
  app.esc_image = app.image;
  app.esc_image_known = true;
  UpdateUnstoredMark(app);
}

bool ShownDiffersFromEsc(const App& app) {
  if (!IsConnected(app.link) || !app.esc_image_known) return false;
  const ConfigImage shown = AsStored(app, app.image);
  const ConfigImage held = AsStored(app, app.esc_image);
  if (BlockLength(shown) != BlockLength(held)) return true;
  const size_t n = std::min<size_t>(BlockLength(shown), kImageSize);
  return !std::equal(shown.bytes.begin(), shown.bytes.begin() + static_cast<std::ptrdiff_t>(n), held.bytes.begin());
}

void UpdateUnstoredMark(App& app) {
  const bool differs = ShownDiffersFromEsc(app);
  if (differs == app.unstored_marked) return;
  app.unstored_marked = differs;
  app.panel->MarkUnstored(differs);
}

bool StoreCommand(App& app) {
  // A click that reaches us from inside a running store (a box's nested
  // loop) starts nothing.
  if (app.store_running) return false;
  app.store_running = true;
  app.panel->SetBusy(true);
  const bool stored = StoreOnEsc(app);
  app.panel->SetBusy(false);
  app.store_running = false;
  UpdateUnstoredMark(app);
  return stored;
}

bool OnCloseRequest(App& app) {
  if (app.close_asking || app.store_running) return false;
  // Closing leaves the focused field as Tab would.
  CommitFocusedField(app);
  UpdateUnstoredMark(app);
  if (!ShownDiffersFromEsc(app)) return true;
  app.close_asking = true;
  const BoxAnswer answer = ShowBox(app, sid::kCloseUnstored, 0, BoxIcon::Warning, BoxButtons::YesNoCancel);
  bool close = answer == BoxAnswer::No;
  if (answer == BoxAnswer::Yes) close = StoreCommand(app);
  app.close_asking = false;
  return close;
}

}  // namespace tavio
