#pragma once
// The main window: the 85 controls of the control table as Qt widgets at
// their pixel positions, in creation order, and the notifications the
// platform's controls would send, handed to the core's window calls for the
// App the window is attached to, as the native window does.

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
  // WM_COMMAND carries it; tests watch them.
  using CommandWatcher = std::function<void(ControlId id, uint16_t code)>;

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

  // Everything the user does goes to `app` from now on; null: nowhere (the
  // window alone, and from teardown on). Text colours follow it.
  void Attach(App* app);
  App* Attached() const { return app_; }
  void SetCommandWatcher(CommandWatcher watcher) { command_watcher_ = std::move(watcher); }

  // Gives every static text and field the colour the core gives it now.
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
  UpDownArrows* arrows_ = nullptr;
  QButtonGroup* timing_group_ = nullptr;
  App* app_ = nullptr;
  CommandWatcher command_watcher_;
  bool quiet_focus_ = false;
  // The control the core last heard a focus-in from, 0 after its focus-out.
  ControlId reported_focus_ = 0;
};

}  // namespace tavio::qt
