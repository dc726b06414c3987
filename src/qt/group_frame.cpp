#include "qt/group_frame.h"

#include <QPainter>

namespace tavio::qt {
namespace {

constexpr int kTitleIndent = 8;
// Room between the frame line and the title on either side.
constexpr int kTitleGap = 2;
const QColor kEtchDark(18, 18, 18);
const QColor kEtchLight(112, 112, 112);

}  // namespace

GroupFrame::GroupFrame(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

void GroupFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QFontMetrics metrics = fontMetrics();
  const QString text = title();
  // The top line runs through the middle of the title.
  const int top = metrics.height() / 2;
  const int left = 0;
  const int right = width() - 2;
  const int bottom = height() - 2;
  const int gap_start = kTitleIndent;
  const int gap_end = text.isEmpty() ? gap_start : gap_start + 2 * kTitleGap + metrics.horizontalAdvance(text);

  // An etched line: dark, with a light one below and right of it.
  for (const auto& [offset, colour] : {std::pair{0, kEtchDark}, std::pair{1, kEtchLight}}) {
    painter.setPen(colour);
    const int l = left + offset, t = top + offset, r = right + offset, b = bottom + offset;
    painter.drawLine(l, t, l, b);
    painter.drawLine(l, b, r, b);
    painter.drawLine(r, t, r, b);
    painter.drawLine(l, t, gap_start, t);
    painter.drawLine(gap_end, t, r, t);
  }
  if (text.isEmpty()) return;
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(QRect(gap_start + kTitleGap, 0, gap_end - gap_start, metrics.height()),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

}  // namespace tavio::qt
