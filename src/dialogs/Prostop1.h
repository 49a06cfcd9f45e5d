#pragma once

#include "BuildDialog.h"
#include "build/Generators.h"

namespace Ui {
class TProst1;
}

// Dialog "Sześciościan": the eight corners of a hexahedron, its material and
// the merge flag. The values confirmed last are kept for the next use.
class TProst1 : public qor::BuildDialog, public qor::HexahedronParams {
  Q_OBJECT
 public:
  explicit TProst1(QWidget* parent = nullptr);
  ~TProst1() override;

  void FormShow() override;
  // Converts every control; closes with OK only when all hold numbers.
  void Button1Click();

  Ui::TProst1* ui;

 private:
  QLineEdit* CornerEdit(int number) const;  // Edit1..Edit24
};
