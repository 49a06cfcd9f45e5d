#pragma once

#include <cstdint>

#include "BuildDialog.h"

namespace Ui {
class TMaterial;
}

// Dialog "Materiał": Young's modulus and Poisson's ratio of the material that
// is about to be added, and its number (shown, not editable).
class TMaterial : public qor::BuildDialog {
  Q_OBJECT
 public:
  explicit TMaterial(QWidget* parent = nullptr);
  ~TMaterial() override;

  void FormShow() override;
  // Converts every control; closes with OK only when all hold numbers and the
  // constants are those of a solid (E > 0, -1 < ni < 0.5).
  void Button1Click();

  float E = 200000.0f;
  float nu = 0.3f;
  std::int32_t MaterialNumber = 1;

  Ui::TMaterial* ui;
};
