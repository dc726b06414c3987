#include "qt/message_boxes.h"

#include "core/files/config_file.h"

namespace tavio::qt {

QString DisplayText(TextView text) {
  QString shown = QString::fromStdU16String(Text(text));
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

QString BoxCaption(TextView caption) {
  // Qt puts the program's name into a title left empty; a blank title is
  // shown as the empty caption it is.
  return caption.empty() ? QStringLiteral(" ") : DisplayText(caption);
}

namespace {

struct ButtonRow {
  QMessageBox::StandardButton button;
  BoxAnswer answer;
};
constexpr ButtonRow kButtonRows[] = {
    {QMessageBox::Ok, BoxAnswer::Ok},         {QMessageBox::Yes, BoxAnswer::Yes},
    {QMessageBox::No, BoxAnswer::No},         {QMessageBox::Retry, BoxAnswer::Retry},
    {QMessageBox::Cancel, BoxAnswer::Cancel},
};

QMessageBox::StandardButton ButtonFor(BoxAnswer answer) {
  for (const ButtonRow& row : kButtonRows) {
    if (row.answer == answer) return row.button;
  }
  return QMessageBox::NoButton;
}

}  // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(const MessageBoxRequest& request, QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(parent);
  switch (request.icon) {
    case BoxIcon::None: box->setIcon(QMessageBox::NoIcon); break;
    case BoxIcon::Information: box->setIcon(QMessageBox::Information); break;
    case BoxIcon::Warning: box->setIcon(QMessageBox::Warning); break;
    case BoxIcon::Error: box->setIcon(QMessageBox::Critical); break;
  }
  switch (request.buttons) {
    case BoxButtons::Ok: box->setStandardButtons(QMessageBox::Ok); break;
    case BoxButtons::YesNo: box->setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case BoxButtons::RetryCancel: box->setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel); break;
    case BoxButtons::YesNoCancel:
      box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  box->setDefaultButton(ButtonFor(request.default_answer));
  box->setWindowTitle(BoxCaption(request.caption));
  box->setTextFormat(Qt::PlainText);
  box->setText(DisplayText(request.text));
  return box;
}

BoxAnswer AnswerForButton(int button, const MessageBoxRequest& request) {
  for (const ButtonRow& row : kButtonRows) {
    if (row.button == button) return request.AnswerFor(row.answer);
  }
  return request.AnswerFor(std::nullopt);
}

std::unique_ptr<QFileDialog> BuildFileDialog(QFileDialog::AcceptMode mode, Language language, QWidget* parent) {
  auto dialog = std::make_unique<QFileDialog>(parent);
  dialog->setAcceptMode(mode);
  dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog->setNameFilter(DisplayText(ConfigFileFilter(language)));
  dialog->setDefaultSuffix(QString::fromStdU16String(Text(kConfigFileSuffix)));
  dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
  return dialog;
}

}  // namespace tavio::qt
