#pragma once

#include "platform/qt/ModalDialog.h"

namespace Ui {
class TProst2;
}

// Dialog "Prostopadłościan".
class TProst2 : public qor::ModalDialog {
  Q_OBJECT
 public:
  explicit TProst2(QWidget* parent = nullptr);
  ~TProst2() override;

  Ui::TProst2* ui;
};
