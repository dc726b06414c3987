#pragma once
// Up-down arrows beside an integer field, as the platform's up-down control
// with an integer buddy: a press reads the buddy's number, steps it by the
// increment within the range, writes it back and reports the press.

#include <QWidget>

#include "core/shell/control_table.h"

class QLineEdit;
class QToolButton;

namespace tavio::qt {

class UpDownArrows final : public QWidget {
  Q_OBJECT

 public:
  UpDownArrows(const ArrowsDef& def, QLineEdit* buddy, QWidget* parent);

  // One press of the upper or lower arrow (also the Up and Down keys in the buddy).
  void StepUp() { Step(+1); }
  void StepDown() { Step(-1); }
  // The last position, kept for a buddy text that is no number in range.
  int Position() const { return position_; }
  QLineEdit* Buddy() const { return buddy_; }
  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

 signals:
  // Sent after every press, whether or not the position changed.
  void Pressed();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Step(int direction);
  void ReleaseArrows();

  ArrowsDef def_;
  QLineEdit* buddy_;
  QToolButton* up_;
  QToolButton* down_;
  int position_;
  bool stepping_ = false;
};

}  // namespace tavio::qt
