#include "qt/defaults_dialog_widget.h"

#include <QButtonGroup>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "core/files/defaults.h"
#include "qt/message_boxes.h"

namespace tavio::qt {
namespace {

constexpr Qt::WindowFlags kDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// Dialog units kept between a grown text and the model-type box.
constexpr int kGrowthGap = 2;

DialogBaseUnits MeasureBaseUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabet = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return BaseUnitsFromFont(alphabet, metrics.height());
}

}  // namespace

ModelDefaultsDialog::ModelDefaultsDialog(int dialog_id, uint16_t family, Language language, QWidget* parent)
    : QDialog(parent, kDialogFlags), family_(family) {
  // The dialog speaks in its owner's font, which a window does not inherit by itself.
  if (parent != nullptr) setFont(parent->font());
  base_ = MeasureBaseUnits(font());
  setModal(true);
  radios_ = new QButtonGroup(this);
  radios_->setExclusive(true);

  const DefaultsDialogLayout* layout = DefaultsDialogLayoutFor(dialog_id);
  if (layout == nullptr) return;
  setWindowTitle(DisplayText(LookUpString(language, layout->caption)));
  setFixedSize(DialogUnitsToPixelsX(layout->width, base_), DialogUnitsToPixelsY(layout->height, base_));

  // Our font runs wider than the one the layout was made for, so a text
  // that would be cut grows: radio texts to the right, inside the model-type
  // box, the explanation downwards, above it.
  int radio_right = width();
  int text_bottom = height();
  for (const DefaultsDialogItem& item : layout->items) {
    if (item.kind == DialogItemKind::GroupBox) {
      radio_right = DialogUnitsToPixelsX(item.rect.x + item.rect.w - kGrowthGap, base_);
      text_bottom = DialogUnitsToPixelsY(item.rect.y - kGrowthGap, base_);
    }
  }

  // Template order is creation order, and so the tab order.
  for (const DefaultsDialogItem& item : layout->items) {
    const QString text = DisplayText(LookUpString(language, item.text));
    QWidget* widget = nullptr;
    switch (item.kind) {
      case DialogItemKind::GroupBox:
        widget = new QGroupBox(text, this);
        widget->setFocusPolicy(Qt::NoFocus);
        break;
      case DialogItemKind::Radio: {
        auto* radio = new QRadioButton(text, this);
        radios_->addButton(radio, item.id);
        connect(radio, &QRadioButton::clicked, this, &ModelDefaultsDialog::OnItemClicked);
        widget = radio;
        break;
      }
      case DialogItemKind::Text: {
        auto* label = new QLabel(text, this);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget = label;
        break;
      }
      case DialogItemKind::PushButton:
      case DialogItemKind::DefaultPushButton: {
        auto* button = new QPushButton(text, this);
        if (item.kind == DialogItemKind::DefaultPushButton) button->setDefault(true);
        widget = button;
        break;
      }
    }
    widget->setObjectName(QStringLiteral("item%1").arg(item.id));
    QRect rect(DialogUnitsToPixelsX(item.rect.x, base_), DialogUnitsToPixelsY(item.rect.y, base_),
               DialogUnitsToPixelsX(item.rect.w, base_), DialogUnitsToPixelsY(item.rect.h, base_));
    if (item.kind == DialogItemKind::Radio) {
      rect.setWidth(std::max(rect.width(), std::min(widget->sizeHint().width(), radio_right - rect.x())));
    } else if (item.kind == DialogItemKind::Text) {
      const int needed = widget->heightForWidth(rect.width());
      rect.setHeight(std::max(rect.height(), std::min(needed, text_bottom - rect.y())));
    }
    widget->setGeometry(rect);
    items_[item.id] = widget;
  }

  if (QAbstractButton* ok = Button(dlg::kOk)) {
    ok->setEnabled(DefaultsOkEnabledAtStart(family_));
    connect(ok, &QAbstractButton::clicked, this, &ModelDefaultsDialog::OnOk);
  }
  if (QAbstractButton* cancel = Button(dlg::kCancel)) {
    connect(cancel, &QAbstractButton::clicked, this, &QDialog::reject);
  }
}

QWidget* ModelDefaultsDialog::Item(uint16_t id) const {
  const auto it = items_.find(id);
  return it == items_.end() ? nullptr : it->second;
}

QAbstractButton* ModelDefaultsDialog::Button(uint16_t id) const {
  return qobject_cast<QAbstractButton*>(Item(id));
}

uint16_t ModelDefaultsDialog::CheckedRadio() const {
  const int id = radios_->checkedId();
  return id > 0 ? static_cast<uint16_t>(id) : 0;
}

void ModelDefaultsDialog::OnItemClicked() {
  if (QAbstractButton* ok = Button(dlg::kOk)) ok->setEnabled(DefaultsOkEnabled(family_, CheckedRadio()));
}

void ModelDefaultsDialog::OnOk() {
  const int code = DefaultsCodeFor(family_, CheckedRadio());
  if (code != model_type::kCancelled) done(code);
}

}  // namespace tavio::qt
