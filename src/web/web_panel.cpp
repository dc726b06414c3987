#include "web/web_panel.h"

#include <emscripten.h>

#include <cstdlib>

#include "core/files/config_file.h"
#include "core/shell/control_table.h"
#include "core/shell/defaults_dialog.h"
#include "core/shell/window_calls.h"
#include "core/shell/window_look.h"

// The script's side of each call, in page.js (TavioPage).
// clang-format off
EM_JS(void, js_make_control, (int id, int kind, const char* text, int x, int y, int w, int h, int first_radio), {
  TavioPage.makeControl(id, kind, UTF8ToString(text), x, y, w, h, first_radio);
});
EM_JS(void, js_add_item, (int id, const char* text), { TavioPage.addItem(id, UTF8ToString(text)); });
EM_JS(void, js_set_arrows, (int id, int buddy, int lower, int upper, int position, int step), {
  TavioPage.setArrows(id, buddy, lower, upper, position, step);
});
EM_JS(void, js_set_look, (int width, int height, int list_height, int font_px, int grey, int white, int plain,
                          int key, int logo_right, int logo_top, int mark, int mark_rim, int mark_size, int mark_inset), {
  TavioPage.setLook({width, height, list_height, font_px, grey, white, plain, key, logo_right, logo_top,
                     mark, mark_rim, mark_size, mark_inset});
});
EM_JS(void, js_set_text, (int id, const char* text), { TavioPage.setText(id, UTF8ToString(text)); });
EM_JS(char*, js_get_text, (int id, int index), {
  const s = TavioPage.getText(id, index);
  const n = lengthBytesUTF8(s) + 1;
  const p = _malloc(n);
  stringToUTF8(s, p, n);
  return p;
});
EM_JS(void, js_set_check, (int id, int on), { TavioPage.setCheck(id, on); });
EM_JS(int, js_get_check, (int id), { return TavioPage.getCheck(id); });
EM_JS(void, js_set_selection, (int id, int index), { TavioPage.setSelection(id, index); });
EM_JS(int, js_get_selection, (int id), { return TavioPage.getSelection(id); });
EM_JS(void, js_enable, (int id, int on), { TavioPage.enable(id, on); });
EM_JS(int, js_is_enabled, (int id), { return TavioPage.isEnabled(id); });
EM_JS(void, js_set_focus, (int id), { TavioPage.setFocus(id); });
EM_JS(void, js_set_title, (const char* text), { TavioPage.setTitle(UTF8ToString(text)); });
EM_JS(void, js_set_grey, (int id, int grey), { TavioPage.setGrey(id, grey); });
EM_JS(void, js_set_busy, (int on), { TavioPage.setBusy(on); });
EM_JS(void, js_mark_unstored, (int on), { TavioPage.markUnstored(on); });
// -1: the box was closed without a button.
EM_ASYNC_JS(int, js_show_box, (const char* text, const char* caption, int icon, int buttons, int default_answer), {
  return await TavioPage.showBox(UTF8ToString(text), UTF8ToString(caption), icon, buttons, default_answer);
});
EM_ASYNC_JS(char*, js_choose_file, (int save, const char* filter), {
  const s = await TavioPage.chooseFile(save, UTF8ToString(filter));
  if (s === null) return 0;
  const n = lengthBytesUTF8(s) + 1;
  const p = _malloc(n);
  stringToUTF8(s, p, n);
  return p;
});
EM_JS(void, js_dialog_item, (int id, int kind, const char* text, int x, int y, int w, int h, int group, int tab), {
  TavioPage.dialogItem(id, kind, UTF8ToString(text), x, y, w, h, group, tab);
});
EM_JS(int, js_dialog_font, (int height), { return TavioPage.dialogFont(height); });
EM_ASYNC_JS(int, js_run_dialog, (const char* caption, int w, int h, int family, int ok, int cancel, int ok_enabled), {
  return await TavioPage.runDialog(UTF8ToString(caption), w, h, family, ok, cancel, ok_enabled);
});
EM_JS(void, js_set_codes, (int click, int sel_end_ok, int cb_set_focus, int cb_kill_focus, int en_set_focus,
                           int en_kill_focus, int store), {
  TavioPage.setCodes({click, sel_end_ok, cb_set_focus, cb_kill_focus, en_set_focus, en_kill_focus, store});
});
EM_JS(void, js_request_quit, (), { TavioPage.quit(); });
// clang-format on

namespace tavio::web {
namespace {

int Packed(Rgb c) { return (c.r << 16) | (c.g << 8) | c.b; }

Text TakeText(char* utf8) {
  if (utf8 == nullptr) return Text();
  Text text = FromUtf8(utf8);
  std::free(utf8);
  return text;
}

std::optional<std::string> ChooseFile(bool save, Language language) {
  char* path = js_choose_file(save ? 1 : 0, ToUtf8(ConfigFileFilter(language)).c_str());
  if (path == nullptr) return std::nullopt;
  std::string chosen(path);
  std::free(path);
  return chosen;
}

}  // namespace

void BuildControls(Language language) {
  js_set_look(kWindowWidth, kWindowHeight, kClosedListHeight, kControlFontPixels, Packed(kGreyText),
              Packed(kWhiteText), Packed(kPlainBackground), Packed(kLogoKeyColour), kLogoRightMargin, kLogoTop,
              Packed(kUnstoredMarkColour), Packed(kUnstoredMarkRim), kUnstoredMarkSize, kUnstoredMarkInset);
  js_set_codes(ctl::kBnClicked, ctl::kCbnSelEndOk, ctl::kCbnSetFocus, ctl::kCbnKillFocus, ctl::kEnSetFocus,
               ctl::kEnKillFocus, ctl::kStore);
  for (const ControlDef& def : ControlTable()) {
    js_make_control(def.id, static_cast<int>(def.kind), ToUtf8(ControlText(def, language)).c_str(), def.x, def.y,
                    def.w, def.h, def.starts_group ? 1 : 0);
    for (const ListItemDef& item : ListItems(def.id)) js_add_item(def.id, ToUtf8(ListItemText(item, language)).c_str());
    if (def.kind == ControlKind::Arrows) {
      js_set_arrows(def.id, kPoleCountArrows.buddy, kPoleCountArrows.lower, kPoleCountArrows.upper,
                    kPoleCountArrows.position, kPoleCountArrows.increment);
    }
  }
}

void WebPanel::SetText(uint16_t id, TextView text) { js_set_text(id, ToUtf8(text).c_str()); }
Text WebPanel::GetText(uint16_t id) const { return TakeText(js_get_text(id, -1)); }
void WebPanel::SetCheck(uint16_t id, bool checked) { js_set_check(id, checked ? 1 : 0); }
bool WebPanel::GetCheck(uint16_t id) const { return js_get_check(id) != 0; }
void WebPanel::SetSelection(uint16_t id, int index) { js_set_selection(id, index); }
int WebPanel::GetSelection(uint16_t id) const { return js_get_selection(id); }
Text WebPanel::GetItemText(uint16_t id, int index) const { return TakeText(js_get_text(id, index)); }
void WebPanel::Enable(uint16_t id, bool enabled) { js_enable(id, enabled ? 1 : 0); }
bool WebPanel::IsEnabled(uint16_t id) const { return js_is_enabled(id) != 0; }
void WebPanel::SetFocus(uint16_t id) { js_set_focus(id); }
void WebPanel::SetTitle(TextView title) { js_set_title(ToUtf8(title).c_str()); }

void WebPanel::Repaint() {
  // The colours follow the connection and the image.
  for (const ControlDef& def : ControlTable()) js_set_grey(def.id, IsTextGrey(app_, def.id) ? 1 : 0);
}

void WebPanel::SetBusy(bool busy) { js_set_busy(busy ? 1 : 0); }
void WebPanel::MarkUnstored(bool unstored) { js_mark_unstored(unstored ? 1 : 0); }

BoxAnswer WebPanel::ShowMessageBox(const MessageBoxRequest& request) {
  const int answer =
      js_show_box(ToUtf8(request.text).c_str(), ToUtf8(request.caption).c_str(), static_cast<int>(request.icon),
                  static_cast<int>(request.buttons), static_cast<int>(request.default_answer));
  if (answer < 0) return request.AnswerFor(std::nullopt);
  return request.AnswerFor(static_cast<BoxAnswer>(answer));
}

std::optional<std::string> WebPanel::ChooseOpenFile() { return ChooseFile(false, language_); }
std::optional<std::string> WebPanel::ChooseSaveFile() { return ChooseFile(true, language_); }

int WebPanel::RunDefaultsDialog(int dialog_id, uint16_t family) {
  const DefaultsDialogLayout* layout = DefaultsDialogLayoutFor(dialog_id);
  if (layout == nullptr) return 0;
  // The dialog font as the page measures it gives the dialog units.
  const DialogBaseUnits base = BaseUnitsFromFont(js_dialog_font(0), js_dialog_font(1));
  const auto x = [&base](int units) { return DialogUnitsToPixelsX(units, base); };
  const auto y = [&base](int units) { return DialogUnitsToPixelsY(units, base); };
  for (const DefaultsDialogItem& item : layout->items) {
    js_dialog_item(item.id, static_cast<int>(item.kind), ToUtf8(LookUpString(language_, item.text)).c_str(),
                   x(item.rect.x), y(item.rect.y), x(item.rect.w), y(item.rect.h), item.starts_group ? 1 : 0,
                   item.tab_stop ? 1 : 0);
  }
  return js_run_dialog(ToUtf8(LookUpString(language_, layout->caption)).c_str(), x(layout->width),
                       y(layout->height), family, dlg::kOk, dlg::kCancel, DefaultsOkEnabledAtStart(family) ? 1 : 0);
}

void WebPanel::RequestQuit() { js_request_quit(); }

}  // namespace tavio::web
