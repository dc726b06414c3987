#include "core/shell/connection.h"

#include "core/shell/commands.h"
#include "core/shell/editors.h"
#include "core/link/protocol.h"
#include "core/shell/display.h"
#include "core/shell/store_state.h"

namespace tavio {
namespace {

// After OpenUsbLink returned 0: refuse an unusable unit, else read and show.
void CheckConnection(App& app) {
  if (const StringId refusal = UnitRefusal(app.link.info); refusal != 0) {
    CloseUsbLink(app.link);
    ShowInstructionBox(app, refusal);
    RefreshDisplay(app);
    return;
  }
  const ConfigImage shown = app.image;
  const uint16_t n = ReadConfiguration(app.link, app.image, CommErrorReporterFor(app), UnreadableBlock::Accept);
  if (IsConnected(app.link) && IsUnreadableBlock(app.image) && n == BlockLength(app.image)) {
    // Its first 4 bytes are no settings to show: the window keeps its own
    // and, as for a damaged block, offers a backup, a file or the defaults.
    app.image = shown;
    RefreshDisplay(app);
    OfferRestoreIfBroken(app, /*unreadable=*/true);
    return;
  }
  if (IsConnected(app.link) && n == BlockLength(app.image)) NoteEscHolds(app);
  RefreshDisplay(app);
  // A failed readout returns 0; the controls are only reloaded when that is
  // the image's own length, as for an image that was never filled. An erased
  // block (0xFFFF) is shown as it is.
  if (n == BlockLength(app.image)) {
    ShowImage(app);
    RefreshDisplay(app);
  }
  OfferRestoreIfBroken(app);
}

// The link is going away: a field being edited is judged first, against the
// ESC it was typed for, as leaving it would.
void LoseLink(App& app) {
  CommitFocusedField(app);
  CloseUsbLink(app.link);
}

// Arrival connects while not connected; removal of the open unit disconnects.
bool HandleDeviceChange(App& app, const DeviceNotice& notice) {
  if (notice.event == kDeviceArrival) {
    if (notice.device_type == kDeviceTypeInterface && !IsConnected(app.link)) {
      if (OpenUsbLink(app.link) != kResultOk) {
        CloseUsbLink(app.link);  // silent: any HID arrival triggers a search
      } else {
        CheckConnection(app);
      }
    }
    return true;
  }
  if (notice.event == kDeviceRemoveComplete) {
    if (notice.device_type == kDeviceTypeInterface && IsConnected(app.link) &&
        app.link.device_path && EqualsIgnoreCase(notice.device_name, *app.link.device_path)) {
      LoseLink(app);
      RefreshDisplay(app);
      ShowInstructionBox(app, sid::kConnectionLost);
    }
    return true;
  }
  return false;
}

}  // namespace

BoxAnswer ShowBox(App& app, StringId text, StringId caption, BoxIcon icon, BoxButtons buttons) {
  return app.panel->ShowMessageBox({LoadText(app, text), caption != 0 ? LoadText(app, caption) : Text(), icon, buttons});
}

void ShowInstructionBox(App& app, StringId message, TextView extra_break, TextView appendix) {
  MessageBoxRequest request(LoadText(app, message), {}, BoxIcon::Information);
  request.text += u"\r\n\r\n";
  request.text += extra_break;
  request.text += LoadText(app, sid::kConnectInstructions);
  if (!appendix.empty()) {
    request.text += u"\r\n\r\n";
    request.text += appendix;
  }
  app.panel->ShowMessageBox(request);
}

namespace {

// Connects to the first usable unit and reads it; false, after the box that
// says why as far as the open tells, when none could be opened.
bool ConnectOrExplain(App& app) {
  OpenDiagnostics diagnostics;
  if (const int32_t result = OpenUsbLink(app.link, &diagnostics); result != kResultOk) {
    const uint32_t unit_code = app.link.unit_error_code;
    CloseUsbLink(app.link);
    Text appendix;
    if (diagnostics.unit_access_denied) {
      appendix = AccessDeniedParagraph(app.language, diagnostics);
    } else if (result == kResultUnitError) {
      // A unit that answered identification with an error: its code is the clue.
      appendix = FormatPattern(LookUpString(app.language, sid::kUnitErrorAnswer), static_cast<unsigned>(unit_code));
    }
    ShowInstructionBox(app, sid::kNoUnitFound, u"\r\n\r\n", appendix);
    RefreshDisplay(app);
    return false;
  }
  CheckConnection(app);
  return true;
}

}  // namespace

void StartDeviceLink(App& app) {
  app.notices_registered = app.notices != nullptr && app.notices->Register();
  if (!app.notices_registered) {
    ShowBox(app, sid::kRegistrationFailed, sid::kAppErrorCaption, BoxIcon::Error);
    StopDeviceLink(app);
    app.panel->RequestQuit();
    return;
  }
  if (ConnectOrExplain(app)) UpdateUnstoredMark(app);
}

void OnUnitChosen(App& app) {
  // A box this opens takes the press of an Enter held meanwhile.
  app.enter_pressed_on = 0;
  if (IsConnected(app.link)) return;
  if (ConnectOrExplain(app)) UpdateUnstoredMark(app);
}

bool OnDeviceChange(App& app, const DeviceNotice& notice) {
  // A box this opens takes the press of an Enter held meanwhile.
  app.enter_pressed_on = 0;
  const bool handled = HandleDeviceChange(app, notice);
  UpdateUnstoredMark(app);
  return handled;
}

void StopDeviceLink(App& app) {
  if (app.notices_registered && app.notices != nullptr) app.notices->Unregister();
  app.notices_registered = false;
  CloseUsbLink(app.link);
}

void ReportCommError(App& app, const CommError& error) {
  LoseLink(app);
  RefreshDisplay(app);
  app.panel->ShowMessageBox({CommErrorMessage(app.language, error), LoadText(app, error.caption), BoxIcon::Error});
  ShowBox(app, sid::kCommErrorRetry, error.caption, BoxIcon::Error);
}

CommErrorReporter CommErrorReporterFor(App& app) {
  return [&app](const CommError& error) { ReportCommError(app, error); };
}

}  // namespace tavio
