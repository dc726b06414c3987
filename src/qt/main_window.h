#pragma once
// The main window: the 85 controls of the control table as Qt widgets at
// their pixel positions, in creation order, and the notifications the
// platform's controls would send, handed to a command sink.

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>

#include "core/shell/control_table.h"
#include "core/shell/window_calls.h"
#include "core/shell/window_look.h"
#include "qt/skin.h"

class QButtonGroup;
class QKeyEvent;

namespace tavio::qt {

class HoverTracker;
class UpDownArrows;

// Where a control's widget keeps its ID.
inline constexpr const char* kControlIdProperty = "controlId";

class MainWindow final : public QWidget {
  Q_OBJECT

 public:
  // A command from control `id` with notification `code`, as the platform's
  // WM_COMMAND carries it.
  using CommandSink = std::function<void(ControlId id, uint16_t code)>;

  // Whether a static text or field shows grey, asked whenever the window is
  // repainted as a whole.
  using GreyTextRule = std::function<bool(ControlId id)>;

  // Enter pressed (`released` false) or released on control `id`.
  using EnterHandler = std::function<void(ControlId id, bool released)>;
  // The user closes the window; false keeps it open.
  using CloseHandler = std::function<bool()>;

  explicit MainWindow(Language language, QWidget* parent = nullptr);
  MainWindow(Language language, const Artwork& artwork, QWidget* parent = nullptr);
  MainWindow(Language language, DecodedArtwork artwork, QWidget* parent = nullptr);

  Language language() const { return language_; }
  // nullptr for an ID no control has.
  QWidget* Control(ControlId id) const;
  template <typename W>
  W* ControlAs(ControlId id) const {
    return qobject_cast<W*>(Control(id));
  }
  // The first-created control whose rectangle holds the client point, hidden,
  // disabled and mouse-transparent ones included; 0 for none.
  ControlId ControlAt(QPoint client) const;
  UpDownArrows* PoleArrows() const { return arrows_; }
  QButtonGroup* TimingGroup() const { return timing_group_; }

  void SetCommandSink(CommandSink sink) { command_sink_ = std::move(sink); }
  void SetArrowsHandler(std::function<void()> handler) { arrows_handler_ = std::move(handler); }
  void SetEnterHandler(EnterHandler handler) { enter_handler_ = std::move(handler); }
  void SetCloseHandler(CloseHandler handler) { close_handler_ = std::move(handler); }
  HoverTracker& Hover() { return *hover_; }

  void SetGreyTextRule(GreyTextRule rule);
  // Gives every static text and field the colour the rule gives it now.
  void UpdateTextColours();
  // Null when the texture could not be loaded; the window is then plain.
  const QImage& Texture() const { return texture_; }
  // The logo as painted; twice as dense when it comes from the larger artwork.
  const QImage& Logo() const { return logo_; }
  // Artwork decoded elsewhere, in place before the first paint.
  void SetArtwork(DecodedArtwork artwork);

  // The mark on "Store on ESC" while the settings shown are not the ESC's.
  void SetUnstoredMark(bool shown);
  bool UnstoredMarkShown() const;

  // Sends a command as if the control had sent it.
  void Notify(ControlId id, uint16_t code);

  // Moves the keyboard focus off `control` (onto the window itself) without
  // any notification, as a disabled control keeps no focus in Qt but sends
  // none on the platform.
  void ReleaseFocusQuietly(QWidget* control);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateControl(const ControlDef& def);
  void ReportFocusChange(ControlId id, bool focus_in, bool list, bool platform_change);
  bool FilterEnter(ControlId id, const QKeyEvent& key);

  Language language_;
  QImage texture_;
  QImage logo_;
  QWidget* unstored_mark_ = nullptr;
  std::map<ControlId, QWidget*> controls_;
  HoverTracker* hover_ = nullptr;
  GreyTextRule grey_rule_;
  UpDownArrows* arrows_ = nullptr;
  QButtonGroup* timing_group_ = nullptr;
  CommandSink command_sink_;
  std::function<void()> arrows_handler_;
  EnterHandler enter_handler_;
  CloseHandler close_handler_;
  bool quiet_focus_ = false;
  // The control the core last heard a focus-in from, 0 after its focus-out.
  ControlId reported_focus_ = 0;
};

}  // namespace tavio::qt
