#include "qt/qt_panel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "core/shell/accessible_names.h"
#include "core/shell/defaults_dialog.h"
#include "qt/defaults_dialog_widget.h"
#include "qt/main_window.h"
#include "qt/message_boxes.h"

namespace tavio::qt {
namespace {

// While the ESC is written the event loop does not run; what the user did
// meanwhile waits in the queue. This eats it, so it starts nothing after.
class InputDropper final : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::Wheel:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
        return true;
      default:
        return false;
    }
  }
};

}  // namespace

void QtPanel::SetText(uint16_t id, TextView text) {
  QWidget* widget = window_.Control(id);
  const QString shown = DisplayText(text);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    // The platform reports every program-made change, even to the same text;
    // Qt only reports a different one.
    const bool same = edit->text() == shown;
    edit->setText(shown);
    if (same) window_.Notify(id, ctl::kEnChange);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(shown);
    // A screen reader names the controls beside it by what it shows now.
    for (const ControlDef& def : ControlTable()) {
      QWidget* named = NamingLabel(def.id) == id ? window_.Control(def.id) : nullptr;
      if (named != nullptr && named->accessibleName() != shown) named->setAccessibleName(shown);
    }
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(shown);
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(shown);
  }
}

Text QtPanel::GetText(uint16_t id) const {
  QWidget* widget = window_.Control(id);
  QString text;
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    text = edit->text();
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    text = label->text();
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    text = button->text();
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    text = group->title();
  } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
    text = list->currentText();
  }
  return text.toStdU16String();
}

void QtPanel::SetCheck(uint16_t id, bool checked) {
  auto* button = window_.ControlAs<QAbstractButton>(id);
  if (button == nullptr) return;
  // The platform sets one radio button without touching the others of its
  // group; an exclusive Qt group would refuse to clear the checked one.
  QButtonGroup* group = button->group();
  const bool exclusive = group != nullptr && group->exclusive();
  if (exclusive) group->setExclusive(false);
  button->setChecked(checked);
  if (exclusive) group->setExclusive(true);
}

bool QtPanel::GetCheck(uint16_t id) const {
  const auto* button = window_.ControlAs<QAbstractButton>(id);
  return button != nullptr && button->isChecked();
}

void QtPanel::SetSelection(uint16_t id, int index) {
  auto* list = window_.ControlAs<QComboBox>(id);
  if (list == nullptr) return;
  list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

int QtPanel::GetSelection(uint16_t id) const {
  const auto* list = window_.ControlAs<QComboBox>(id);
  return list == nullptr ? -1 : list->currentIndex();
}

Text QtPanel::GetItemText(uint16_t id, int index) const {
  const auto* list = window_.ControlAs<QComboBox>(id);
  if (list == nullptr || index < 0 || index >= list->count()) return Text();
  return list->itemText(index).toStdU16String();
}

void QtPanel::Enable(uint16_t id, bool enabled) {
  QWidget* widget = window_.Control(id);
  if (widget == nullptr) return;
  if (!enabled) window_.ReleaseFocusQuietly(widget);
  widget->setEnabled(enabled);
}

bool QtPanel::IsEnabled(uint16_t id) const {
  const QWidget* widget = window_.Control(id);
  return widget != nullptr && widget->isEnabled();
}

void QtPanel::SetFocus(uint16_t id) {
  // A keyboard reason that always counts as one: the style then draws the
  // focus mark (Tab counts only inside Qt's own Tab handling).
  if (QWidget* widget = window_.Control(id)) widget->setFocus(Qt::ShortcutFocusReason);
}

void QtPanel::SetTitle(TextView title) { window_.setWindowTitle(DisplayText(title)); }

void QtPanel::Repaint() {
  // The colours follow the connection and the image: decide them afresh
  // whenever the window is repainted as a whole.
  window_.UpdateTextColours();
  window_.update();
  window_.repaint();
}

void QtPanel::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  ShowBusy(busy);
}

void QtPanel::ShowBusy(bool shown) {
  if (shown == busy_shown_) return;
  busy_shown_ = shown;
  auto* store = window_.ControlAs<QAbstractButton>(ctl::kStore);
  if (shown) {
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    if (store != nullptr) store->setDown(true);
    input_dropper_ = std::make_unique<InputDropper>();
    QCoreApplication::instance()->installEventFilter(input_dropper_.get());
    // Show the busy look now: nothing else is drawn until the write is over.
    if (store != nullptr) store->repaint();
    QGuiApplication::sync();
    return;
  }
  // Input that queued up while busy is taken in and dropped before the
  // window listens again.
  QCoreApplication::processEvents();
  input_dropper_.reset();
  if (store != nullptr) store->setDown(false);
  QApplication::restoreOverrideCursor();
}

void QtPanel::MarkUnstored(bool unstored) { window_.SetUnstoredMark(unstored); }

BoxAnswer QtPanel::ShowMessageBox(const MessageBoxRequest& request) {
  const std::unique_ptr<QMessageBox> box = BuildMessageBox(request, &window_);
  // A box waits for the user: no wait cursor over it, and its buttons work.
  const bool lift_busy = busy_shown_;
  if (lift_busy) ShowBusy(false);
  const int button = driver_ != nullptr ? driver_->AnswerMessageBox(*box) : box->exec();
  if (lift_busy && busy_) ShowBusy(true);
  return AnswerForButton(button, request);
}

std::optional<std::string> QtPanel::ChooseFile(bool save) {
  const std::unique_ptr<QFileDialog> dialog =
      BuildFileDialog(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen, window_.language(), &window_);
  std::optional<QString> path;
  if (driver_ != nullptr) {
    path = driver_->AnswerFileDialog(*dialog);
  } else if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
    path = dialog->selectedFiles().constFirst();
  }
  if (!path || path->isEmpty()) return std::nullopt;
  return path->toStdString();
}

std::optional<std::string> QtPanel::ChooseOpenFile() { return ChooseFile(false); }
std::optional<std::string> QtPanel::ChooseSaveFile() { return ChooseFile(true); }

int QtPanel::RunDefaultsDialog(int dialog_id, uint16_t family) {
  if (DefaultsDialogLayoutFor(dialog_id) == nullptr) return 0;
  ModelDefaultsDialog dialog(dialog_id, family, window_.language(), &window_);
  return driver_ != nullptr ? driver_->AnswerDefaultsDialog(dialog) : dialog.exec();
}

void QtPanel::RequestQuit() {
  quit_requested_ = true;
  // Posted, so it takes effect once the event loop runs (also before it starts).
  QMetaObject::invokeMethod(QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

}  // namespace tavio::qt
