#pragma once
// A group box drawn as an etched frame with its title set into the top
// line, over whatever lies behind it: the style's own group box fills its
// inside, which would hide the window's texture.

#include <QGroupBox>

namespace tavio::qt {

class GroupFrame final : public QGroupBox {
  Q_OBJECT

 public:
  GroupFrame(const QString& title, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tavio::qt
