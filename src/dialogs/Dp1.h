#pragma once

#include "platform/qt/ModalDialog.h"

namespace Ui {
class TP1;
}

// Dialog "Dodaj podporę".
class TP1 : public qor::ModalDialog {
  Q_OBJECT
 public:
  explicit TP1(QWidget* parent = nullptr);
  ~TP1() override;

  Ui::TP1* ui;
};
