#include "qt/main_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include "core/shell/accessible_names.h"
#include "qt/group_frame.h"
#include "qt/hover_tracker.h"
#include "qt/message_boxes.h"
#include "qt/up_down_arrows.h"

namespace tavio::qt {
namespace {

constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

QString ToQString(const Text& text) { return QString::fromStdU16String(text); }

// A digits-only field refuses typed characters that are not digits; control
// keys, shortcuts (paste included) and navigation pass.
bool RefusedByDigitsOnly(const QKeyEvent& key) {
  if (key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier)) return false;
  for (const QChar c : key.text()) {
    if (c.isPrint() && (c < u'0' || c > u'9')) return true;
  }
  return false;
}

bool IsEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

// The unstored mark sits over the button, never in the mouse's way.

class UnstoredMark final : public QWidget {
 public:
  explicit UnstoredMark(QWidget* button) : QWidget(button) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(button->width() - kUnstoredMarkInset - kUnstoredMarkSize, kUnstoredMarkInset, kUnstoredMarkSize,
                kUnstoredMarkSize);
    hide();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor::fromRgb(ToQRgb(kUnstoredMarkRim)), 1.0));
    painter.setBrush(QColor::fromRgb(ToQRgb(kUnstoredMarkColour)));
    painter.drawEllipse(QRectF(0.5, 0.5, kUnstoredMarkSize - 1.0, kUnstoredMarkSize - 1.0));
  }
};

// Activating another window (a message box included) or opening a popup
// leaves the platform's focus where it is: no notification.
bool IsPlatformFocusChange(const QEvent& event) {
  const Qt::FocusReason reason = static_cast<const QFocusEvent&>(event).reason();
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

}  // namespace

MainWindow::MainWindow(Language language, QWidget* parent) : MainWindow(language, Artwork(), parent) {}

MainWindow::MainWindow(Language language, const Artwork& artwork, QWidget* parent)
    : MainWindow(language, DecodeArtwork(artwork, QSize(kWindowWidth, kWindowHeight), qGuiApp->devicePixelRatio()),
                 parent) {}

MainWindow::MainWindow(Language language, DecodedArtwork artwork, QWidget* parent)
    : QWidget(parent, kWindowFlags),
      language_(language),
      texture_(std::move(artwork.texture)),
      logo_(std::move(artwork.logo)) {
  setFixedSize(kWindowWidth, kWindowHeight);
  // The window paints all of its ground itself: texture (or plain) and logo.
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Inherited by every control; the texts get their colours per control below.
  setPalette(WindowPalette());
  setWindowTitle(QStringLiteral("Tavio"));
  setFocusPolicy(Qt::NoFocus);
  // The pixel layout was made for a small dialog font; the desktop's family
  // at that size keeps every text inside its control.
  QFont control_font = font();
  control_font.setPixelSize(kControlFontPixels);
  setFont(control_font);
  // The application's icon, set once when the session starts, applies to
  // this window too.

  for (const ControlDef& def : ControlTable()) CreateControl(def);
  hover_ = new HoverTracker(*this);
  if (QWidget* store = Control(ctl::kStore)) unstored_mark_ = new UnstoredMark(store);
  UpdateTextColours();

  // Like a window that is no dialog, no control holds the focus at start;
  // the first Tab goes to the first field.
  setFocus(Qt::OtherFocusReason);
}

QWidget* MainWindow::Control(ControlId id) const {
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

ControlId MainWindow::ControlAt(QPoint client) const {
  for (const ControlDef& def : ControlTable()) {
    const QWidget* control = Control(def.id);
    if (control != nullptr && control->geometry().contains(client)) return def.id;
  }
  return 0;
}

void MainWindow::Attach(App* app) {
  app_ = app;
  UpdateTextColours();
}

void MainWindow::UpdateTextColours() {
  for (const ControlDef& def : ControlTable()) {
    QWidget* control = Control(def.id);
    if (control == nullptr) continue;
    const QColor colour = TextColour(app_ != nullptr && IsTextGrey(*app_, def.id));
    switch (def.kind) {
      case ControlKind::Label:
      case ControlKind::Value:
      case ControlKind::HelpField:
      case ControlKind::Group:
        control->setPalette(WithStaticTextColour(control->palette(), colour));
        break;
      case ControlKind::Field:
      case ControlKind::DigitsField:
        control->setPalette(WithFieldTextColour(control->palette(), colour));
        break;
      default:
        break;
    }
  }
}

void MainWindow::SetArtwork(DecodedArtwork artwork) {
  texture_ = std::move(artwork.texture);
  logo_ = std::move(artwork.logo);
  update();
}

void MainWindow::SetUnstoredMark(bool shown) {
  if (unstored_mark_ != nullptr) unstored_mark_->setVisible(shown);
}

bool MainWindow::UnstoredMarkShown() const { return unstored_mark_ != nullptr && !unstored_mark_->isHidden(); }

void MainWindow::closeEvent(QCloseEvent* event) {
  if (app_ != nullptr && !OnCloseRequest(*app_)) {
    event->ignore();
    return;
  }
  event->accept();
}

void MainWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const qreal scale = devicePixelRatioF();
  // The texture's pixels are the display's, also after a move to a screen
  // of another scale (in place: the window holds the only copy).
  if (!texture_.isNull() && texture_.devicePixelRatio() != scale) texture_.setDevicePixelRatio(scale);
  // A brush tiles a texture smaller than the window, always from the
  // window's own origin, so the controls over it continue it seamlessly.
  painter.fillRect(event->rect(), texture_.isNull() ? QBrush(QColor::fromRgb(kPlainBackground)) : QBrush(texture_));
  if (logo_.isNull()) return;
  const QPoint at = LogoPosition(width(), logo_.deviceIndependentSize().toSize());
  if (logo_.devicePixelRatio() == scale) {
    painter.drawImage(at, logo_);
    return;
  }
  // Scaled down from the larger logo (or, with it missing, up from the
  // plain one), starting on a whole display pixel so its edges stay crisp.
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(QPointF(qRound(at.x() * scale) / scale, qRound(at.y() * scale) / scale), logo_);
}

void MainWindow::Notify(ControlId id, uint16_t code) {
  // A copy: the watcher may be replaced while a nested box runs inside it.
  const CommandWatcher watcher = command_watcher_;
  if (watcher) watcher(id, code);
  if (app_ != nullptr) OnCommand(*app_, id, code);
}

void MainWindow::ReleaseFocusQuietly(QWidget* control) {
  QWidget* focused = focusWidget();
  if (control == nullptr || focused == nullptr) return;
  if (focused != control && !control->isAncestorOf(focused)) return;
  quiet_focus_ = true;
  setFocus(Qt::OtherFocusReason);
  quiet_focus_ = false;
}

void MainWindow::CreateControl(const ControlDef& def) {
  const ControlId id = def.id;
  const QString text = ToQString(ControlText(def, language_));
  QWidget* widget = nullptr;
  QRect geometry(def.x, def.y, def.w, def.h);

  switch (def.kind) {
    case ControlKind::Label:
    case ControlKind::Value:
    case ControlKind::HelpField: {
      auto* label = new QLabel(text, this);
      label->setTextFormat(Qt::PlainText);
      // The platform's static texts wrap at word boundaries and start at the top.
      label->setWordWrap(true);
      label->setAlignment((def.kind == ControlKind::Value ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
      // Static texts let the mouse through to the window, for the hover help.
      label->setAttribute(Qt::WA_TransparentForMouseEvents);
      widget = label;
      break;
    }
    case ControlKind::Field:
    case ControlKind::DigitsField: {
      auto* edit = new QLineEdit(text, this);
      edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      edit->installEventFilter(this);
      connect(edit, &QLineEdit::textChanged, this, [this, id] { Notify(id, ctl::kEnChange); });
      widget = edit;
      break;
    }
    case ControlKind::Check: {
      auto* check = new QCheckBox(this);
      check->setPalette(WithFocusMarkColour(check->palette()));
      connect(check, &QCheckBox::clicked, this, [this, id] { Notify(id, ctl::kBnClicked); });
      widget = check;
      break;
    }
    case ControlKind::Radio: {
      auto* radio = new QRadioButton(this);
      radio->setPalette(WithFocusMarkColour(radio->palette()));
      if (def.starts_group || timing_group_ == nullptr) {
        timing_group_ = new QButtonGroup(this);
        timing_group_->setExclusive(true);
        // As on the platform, the checked radio button is its group's only
        // tab stop; an unchecked one still takes the focus on a click.
        QButtonGroup* group = timing_group_;
        connect(group, &QButtonGroup::buttonToggled, group, [group](QAbstractButton* button, bool checked) {
          if (!checked) {
            button->setFocusPolicy(Qt::ClickFocus);
            return;
          }
          for (QAbstractButton* other : group->buttons()) {
            other->setFocusPolicy(other == button ? Qt::StrongFocus : Qt::ClickFocus);
          }
        });
      }
      timing_group_->addButton(radio);
      connect(radio, &QRadioButton::clicked, this, [this, id] { Notify(id, ctl::kBnClicked); });
      widget = radio;
      break;
    }
    case ControlKind::List: {
      auto* list = new QComboBox(this);
      list->setEditable(false);
      list->setPalette(WithFocusMarkColour(list->palette()));
      for (const ListItemDef& item : ListItems(id)) list->addItem(ToQString(ListItemText(item, language_)));
      list->setCurrentIndex(-1);
      list->setMaxVisibleItems(kDroppedListItems);
      list->installEventFilter(this);
      connect(list, &QComboBox::activated, this, [this, id] { Notify(id, ctl::kCbnSelEndOk); });
      geometry.setHeight(kClosedListHeight);
      widget = list;
      break;
    }
    case ControlKind::Command: {
      auto* button = new QPushButton(text, this);
      // Enter is the core's to decide (eventFilter); Qt's default-button
      // handling must not click anything.
      button->setAutoDefault(false);
      button->setDefault(false);
      button->setPalette(WithFocusMarkColour(button->palette()));
      button->installEventFilter(this);
      connect(button, &QPushButton::clicked, this, [this, id] { Notify(id, ctl::kBnClicked); });
      widget = button;
      break;
    }
    case ControlKind::Group: {
      auto* group = new GroupFrame(text, this);
      group->setAttribute(Qt::WA_TransparentForMouseEvents);
      widget = group;
      break;
    }
    case ControlKind::Arrows: {
      auto* buddy = ControlAs<QLineEdit>(kPoleCountArrows.buddy);
      arrows_ = new UpDownArrows(kPoleCountArrows, buddy, this);
      if (buddy != nullptr) {
        // The arrows cover the right end of the field; keep its text clear of them.
        const int covered = buddy->geometry().right() - def.x + 1;
        if (covered > 0) buddy->setTextMargins(0, 0, covered, 0);
      }
      connect(arrows_, &UpDownArrows::Pressed, this, [this] {
        if (app_ != nullptr) OnArrows(*app_);
      });
      widget = arrows_;
      break;
    }
  }

  // What a screen reader says: the label's text and the control's help.
  const Text name = AccessibleName(id, language_);
  if (!name.empty()) {
    widget->setAccessibleName(ToQString(name));
    widget->setAccessibleDescription(DisplayText(AccessibleDescription(id, language_)));
  }
  widget->setObjectName(QStringLiteral("ctl%1").arg(id));
  widget->setProperty(kControlIdProperty, QVariant::fromValue<uint>(id));
  widget->setFocusPolicy(IsTabStop(def.kind) ? Qt::StrongFocus : Qt::NoFocus);
  widget->setGeometry(geometry);
  controls_[id] = widget;
}

void MainWindow::ReportFocusChange(ControlId id, bool focus_in, bool list, bool platform_change) {
  // A box opened while the focus moved (from inside a focus-out) swallows the
  // new control's focus-in; when the window is active again, that control
  // has the focus the core was never told about.
  const bool returned_unreported = focus_in && !platform_change && reported_focus_ != id;
  if (!platform_change && !returned_unreported) return;
  if (focus_in) {
    reported_focus_ = id;
  } else if (reported_focus_ == id) {
    reported_focus_ = 0;
  }
  if (list) {
    Notify(id, focus_in ? ctl::kCbnSetFocus : ctl::kCbnKillFocus);
  } else {
    Notify(id, focus_in ? ctl::kEnSetFocus : ctl::kEnKillFocus);
  }
}

bool MainWindow::FilterEnter(ControlId id, const QKeyEvent& key) {
  if (!IsEnterKey(key.key())) return false;
  // The core decides on the release, and needs to know where the press
  // went; a held key's repeated releases are no release.
  const bool released = key.type() == QEvent::KeyRelease;
  if (released && key.isAutoRepeat()) return true;
  if (app_ == nullptr) return true;
  if (released) {
    OnEnterKey(*app_, id);
  } else {
    OnEnterPressed(*app_, id);
  }
  return true;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  auto* control = qobject_cast<QWidget*>(watched);
  if (control == nullptr || control->parent() != this) return QWidget::eventFilter(watched, event);
  const auto id = static_cast<ControlId>(control->property(kControlIdProperty).toUInt());
  const bool focus_in = event->type() == QEvent::FocusIn;
  const bool focus_change = focus_in || event->type() == QEvent::FocusOut;

  if (qobject_cast<QPushButton*>(control) != nullptr) {
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    return key && FilterEnter(id, *static_cast<QKeyEvent*>(event));
  }
  auto* edit = qobject_cast<QLineEdit*>(control);
  const bool list = qobject_cast<QComboBox*>(control) != nullptr;
  if (edit == nullptr && !list) return false;
  if (focus_change) {
    if (!quiet_focus_) ReportFocusChange(id, focus_in, list, IsPlatformFocusChange(*event));
    return false;
  }
  if (list) {
    // The wheel over a list the user is not working in changes nothing.
    if (event->type() == QEvent::Wheel && !control->hasFocus()) {
      event->ignore();
      return true;
    }
    return false;
  }

  switch (event->type()) {
    case QEvent::KeyPress: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (FilterEnter(id, *key)) return true;
      if (arrows_ != nullptr && edit == arrows_->Buddy()) {
        if (key->key() == Qt::Key_Up) {
          arrows_->StepUp();
          return true;
        }
        if (key->key() == Qt::Key_Down) {
          arrows_->StepDown();
          return true;
        }
      }
      const ControlDef* def = FindControl(id);
      return def != nullptr && def->kind == ControlKind::DigitsField && RefusedByDigitsOnly(*key);
    }
    case QEvent::KeyRelease: return FilterEnter(id, *static_cast<QKeyEvent*>(event));
    default:
      return false;
  }
}

}  // namespace tavio::qt
