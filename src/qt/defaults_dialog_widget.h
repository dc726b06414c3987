#pragma once
// The model-defaults dialog (101 or 102) as a QDialog laid out from its
// dialog units. exec() returns the model-type code, 0 when cancelled.

#include <QDialog>
#include <map>

#include "core/shell/defaults_dialog.h"
#include "core/text/string_table.h"

class QAbstractButton;
class QButtonGroup;

namespace tavio::qt {

class ModelDefaultsDialog final : public QDialog {
  Q_OBJECT

 public:
  // `family` is the connected family; it decides which radio buttons count.
  ModelDefaultsDialog(int dialog_id, uint16_t family, Language language, QWidget* parent);

  // The item with a dialog item ID; nullptr when the dialog has none.
  QWidget* Item(uint16_t id) const;
  QAbstractButton* Button(uint16_t id) const;
  // 0 when no radio button is checked.
  uint16_t CheckedRadio() const;
  DialogBaseUnits BaseUnits() const { return base_; }

 private:
  void OnItemClicked();
  void OnOk();

  uint16_t family_;
  DialogBaseUnits base_{};
  std::map<uint16_t, QWidget*> items_;
  QButtonGroup* radios_;
};

}  // namespace tavio::qt
