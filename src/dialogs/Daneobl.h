#pragma once

#include "platform/qt/ModalDialog.h"

namespace Ui {
class TDANEOB;
}

// Dialog "Dane obliczeniowe".
class TDANEOB : public qor::ModalDialog {
  Q_OBJECT
 public:
  explicit TDANEOB(QWidget* parent = nullptr);
  ~TDANEOB() override;

  Ui::TDANEOB* ui;
};
