#pragma once

#include "BuildDialog.h"
#include "build/Loads.h"

namespace Ui {
class TS1;
}

// Dialog "Dodaj siłę": a node or a stepped node range and the force values at
// its start and end (the Fix flags of NodeRangeParams are not used here).
class TS1 : public qor::BuildDialog, public qor::NodeRangeParams {
  Q_OBJECT
 public:
  explicit TS1(QWidget* parent = nullptr);
  ~TS1() override;

  // Every opening starts from zeros.
  void FormShow() override;
  // Converts every control; closes with OK only when all hold numbers.
  void Button1Click();

  Ui::TS1* ui;
};
