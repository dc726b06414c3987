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
      // A stray Enter keeps things as they are rather than writing or discarding.
      box->setDefaultButton(QMessageBox::Cancel);
      break;
  }
  box->setWindowTitle(BoxCaption(request.caption));
  box->setTextFormat(Qt::PlainText);
  box->setText(DisplayText(request.text));
  return box;
}

BoxAnswer AnswerForButton(int button, BoxButtons buttons) {
  switch (buttons) {
    case BoxButtons::Ok:
      return BoxAnswer::Ok;
    case BoxButtons::YesNo:
      return button == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
    case BoxButtons::RetryCancel:
      return button == QMessageBox::Retry ? BoxAnswer::Retry : BoxAnswer::Cancel;
    case BoxButtons::YesNoCancel:
      if (button == QMessageBox::Yes) return BoxAnswer::Yes;
      return button == QMessageBox::No ? BoxAnswer::No : BoxAnswer::Cancel;
  }
  return BoxAnswer::Ok;
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
