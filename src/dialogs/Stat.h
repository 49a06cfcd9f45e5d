#pragma once

#include "platform/qt/ModalDialog.h"

namespace Ui {
class TSt;
}

// Dialog "Statystyka".
class TSt : public qor::ModalDialog {
  Q_OBJECT
 public:
  explicit TSt(QWidget* parent = nullptr);
  ~TSt() override;

  Ui::TSt* ui;
};
