#include "qt/up_down_arrows.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace tavio::qt {

UpDownArrows::UpDownArrows(const ArrowsDef& def, QLineEdit* buddy, QWidget* parent)
    : QWidget(parent), def_(def), buddy_(buddy), position_(def.position) {
  setFocusPolicy(Qt::NoFocus);
  up_ = new QToolButton(this);
  down_ = new QToolButton(this);
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  for (QToolButton* button : {up_, down_}) {
    button->setFocusPolicy(Qt::NoFocus);
    // Holding an arrow keeps stepping, as the platform's control does.
    button->setAutoRepeat(true);
  }
  connect(up_, &QToolButton::pressed, this, &UpDownArrows::StepUp);
  connect(down_, &QToolButton::pressed, this, &UpDownArrows::StepDown);
}

void UpDownArrows::resizeEvent(QResizeEvent*) {
  const int upper_half = height() / 2;
  up_->setGeometry(0, 0, width(), upper_half);
  down_->setGeometry(0, upper_half, width(), height() - upper_half);
}

void UpDownArrows::ReleaseArrows() {
  up_->setDown(false);
  down_->setDown(false);
}

void UpDownArrows::Step(int direction) {
  // The handler may open a modal box; a held arrow must not keep stepping
  // (and opening boxes) inside it, nor after it took the mouse release.
  if (stepping_) {
    ReleaseArrows();
    return;
  }
  stepping_ = true;
  if (buddy_ != nullptr) {
    // A click on the arrows puts the caret into the buddy field first.
    if (buddy_->isEnabled() && !buddy_->hasFocus()) buddy_->setFocus(Qt::MouseFocusReason);
    bool ok = false;
    const int typed = buddy_->text().toInt(&ok);
    if (ok && typed >= def_.lower && typed <= def_.upper) position_ = typed;
  }
  const int next = std::clamp(position_ + direction * def_.increment, def_.lower, def_.upper);
  if (next != position_) {
    position_ = next;
    if (buddy_ != nullptr) buddy_->setText(QString::number(position_));
  }
  emit Pressed();
  stepping_ = false;
  if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) ReleaseArrows();
}

}  // namespace tavio::qt
