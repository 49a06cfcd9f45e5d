#pragma once

#include "platform/qt/ModalDialog.h"

namespace Ui {
class TProst1;
}

// Dialog "Sześciościan".
class TProst1 : public qor::ModalDialog {
  Q_OBJECT
 public:
  explicit TProst1(QWidget* parent = nullptr);
  ~TProst1() override;

  Ui::TProst1* ui;
};
