#pragma once

#include "BuildDialog.h"
#include "build/Generators.h"

namespace Ui {
class TProst2;
}

// Dialog "Prostopadłościan": origin, edge lengths and material of a cuboid and
// the merge flag (the division counts of CuboidParams are not used here).
class TProst2 : public qor::BuildDialog, public qor::CuboidParams {
  Q_OBJECT
 public:
  explicit TProst2(QWidget* parent = nullptr);
  ~TProst2() override;

  void FormShow() override;
  // Converts every control; closes with OK only when all hold numbers.
  void Button1Click();

  Ui::TProst2* ui;
};
