#pragma once

#include "platform/qt/ModalDialog.h"

namespace Ui {
class TS1;
}

// Dialog "Dodaj siłę".
class TS1 : public qor::ModalDialog {
  Q_OBJECT
 public:
  explicit TS1(QWidget* parent = nullptr);
  ~TS1() override;

  Ui::TS1* ui;
};
