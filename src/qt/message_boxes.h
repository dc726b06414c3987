#pragma once
// The platform's modal boxes in Qt form: a message box built from the core's
// request, the file dialogs for configuration files, and the mapping of the
// pressed button back to the core's answer.

#include <QFileDialog>
#include <QMessageBox>
#include <QString>
#include <memory>

#include "core/shell/panel.h"
#include "core/text/string_table.h"

namespace tavio::qt {

// The core writes line breaks as "\r\n"; Qt shows "\n".
QString DisplayText(TextView text);

// The title bar text of a box: an empty caption stays empty on screen.
QString BoxCaption(TextView caption);
// Icon, buttons, caption and text of the request, owned by `parent`.
std::unique_ptr<QMessageBox> BuildMessageBox(const MessageBoxRequest& request, QWidget* parent);
// The answer for the button pressed; a box closed without one of its buttons
// gives the request's closed answer.
BoxAnswer AnswerForButton(int button, const MessageBoxRequest& request);

// One name filter ("Binary File (*.bin)" in the language), default suffix
// "bin"; the save dialog asks before overwriting.
std::unique_ptr<QFileDialog> BuildFileDialog(QFileDialog::AcceptMode mode, Language language, QWidget* parent);

}  // namespace tavio::qt
