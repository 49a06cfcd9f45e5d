#pragma once

#include "BuildDialog.h"
#include "build/Loads.h"

namespace Ui {
class TP1;
}

// Dialog "Dodaj podporę": a node or a stepped node range and the directions to
// fix. The value edits are read (they must hold numbers) but supports always
// prescribe 0.
class TP1 : public qor::BuildDialog, public qor::NodeRangeParams {
  Q_OBJECT
 public:
  explicit TP1(QWidget* parent = nullptr);
  ~TP1() override;

  // Every opening starts from zeros with all three directions checked.
  void FormShow() override;
  // Converts every control; closes with OK only when all hold numbers.
  void Button1Click();

  Ui::TP1* ui;
};
