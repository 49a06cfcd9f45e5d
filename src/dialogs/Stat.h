#pragma once

#include "model/ModelStore.h"
#include "platform/qt/ModalDialog.h"

namespace Ui {
class TSt;
}

// Dialog "Statystyka": counts of the model and, when the results are valid,
// the largest displacement component and the largest reduced stress.
class TSt : public qor::ModalDialog {
  Q_OBJECT
 public:
  explicit TSt(QWidget* parent = nullptr);
  ~TSt() override;

  // Fills the fields from Store.
  void FormShow() override;
  void OKClick();

  Ui::TSt* ui;
  // The model described; set by the command before showing.
  const qor::ModelStore* Store = nullptr;
  // The user's decimal separator for the two result fields.
  char Separator = '.';
};
