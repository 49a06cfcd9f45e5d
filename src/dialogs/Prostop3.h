#pragma once

#include "BuildDialog.h"
#include "build/Generators.h"

namespace Ui {
class TProst3;
}

// Dialog "Prostopadłościan dzielony": a cuboid as in "Prostopadłościan" and
// the number of blocks along each axis.
class TProst3 : public qor::BuildDialog, public qor::CuboidParams {
  Q_OBJECT
 public:
  explicit TProst3(QWidget* parent = nullptr);
  ~TProst3() override;

  void FormShow() override;
  // Converts every control; closes with OK only when all hold numbers.
  void Button1Click();

  Ui::TProst3* ui;
};
