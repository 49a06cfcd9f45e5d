#pragma once

#include "BuildDialog.h"

namespace Ui {
class TWezel;
}

// Dialog "Dodaj węzeł": the coordinates of the node that is about to be added.
class TWezel : public qor::BuildDialog {
  Q_OBJECT
 public:
  explicit TWezel(QWidget* parent = nullptr);
  ~TWezel() override;

  void FormShow() override;
  // Converts the three coordinates; closes with OK only when all are numbers.
  void Button1Click();

  float X = 0, Y = 0, Z = 0;

  Ui::TWezel* ui;
};
