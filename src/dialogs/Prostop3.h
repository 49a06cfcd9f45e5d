#pragma once

#include "platform/qt/ModalDialog.h"

namespace Ui {
class TProst3;
}

// Dialog "Prostopadłościan dzielony".
class TProst3 : public qor::ModalDialog {
  Q_OBJECT
 public:
  explicit TProst3(QWidget* parent = nullptr);
  ~TProst3() override;

  Ui::TProst3* ui;
};
