#pragma once

#include "platform/qt/ModalDialog.h"

namespace Ui {
class TMaterial;
}

// Dialog "Materiał".
class TMaterial : public qor::ModalDialog {
  Q_OBJECT
 public:
  explicit TMaterial(QWidget* parent = nullptr);
  ~TMaterial() override;

  Ui::TMaterial* ui;
};
