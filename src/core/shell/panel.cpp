#include "core/shell/panel.h"

#include <utility>

namespace tavio {
namespace {

constexpr unsigned Bit(BoxAnswer answer) { return 1u << static_cast<unsigned>(answer); }

struct ButtonsRule {
  BoxButtons buttons;
  unsigned offered;  // Bit() of each answer
  BoxAnswer default_answer;
  BoxAnswer closed_answer;
};
// A stray Enter on the three-way question keeps things as they are rather
// than writing or discarding; a box closed without a button does the least.
constexpr ButtonsRule kButtonsRules[] = {
    {BoxButtons::Ok, Bit(BoxAnswer::Ok), BoxAnswer::Ok, BoxAnswer::Ok},
    {BoxButtons::YesNo, Bit(BoxAnswer::Yes) | Bit(BoxAnswer::No), BoxAnswer::Yes, BoxAnswer::No},
    {BoxButtons::RetryCancel, Bit(BoxAnswer::Retry) | Bit(BoxAnswer::Cancel), BoxAnswer::Retry, BoxAnswer::Cancel},
    {BoxButtons::YesNoCancel, Bit(BoxAnswer::Yes) | Bit(BoxAnswer::No) | Bit(BoxAnswer::Cancel), BoxAnswer::Cancel,
     BoxAnswer::Cancel},
};

const ButtonsRule& RuleFor(BoxButtons buttons) {
  for (const ButtonsRule& rule : kButtonsRules) {
    if (rule.buttons == buttons) return rule;
  }
  return kButtonsRules[0];
}

}  // namespace

MessageBoxRequest::MessageBoxRequest(Text text, Text caption, BoxIcon icon, BoxButtons buttons)
    : text(std::move(text)),
      caption(std::move(caption)),
      icon(icon),
      buttons(buttons),
      default_answer(RuleFor(buttons).default_answer),
      closed_answer(RuleFor(buttons).closed_answer) {}

BoxAnswer MessageBoxRequest::AnswerFor(std::optional<BoxAnswer> pressed) const {
  return pressed && (RuleFor(buttons).offered & Bit(*pressed)) != 0 ? *pressed : closed_answer;
}

}  // namespace tavio
