#pragma once

#include "platform/qt/ModalDialog.h"

namespace Ui {
class TWYNOB;
}

// Dialog "Wyniki obliczeń".
class TWYNOB : public qor::ModalDialog {
  Q_OBJECT
 public:
  explicit TWYNOB(QWidget* parent = nullptr);
  ~TWYNOB() override;

  Ui::TWYNOB* ui;
};
