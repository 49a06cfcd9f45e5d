#pragma once

#include "BuildDialog.h"
#include "build/NodeElementInput.h"

namespace Ui {
class TElement;
}

// Dialog "Dodaj element": the four nodes and the material of the tetrahedron
// that is about to be added.
class TElement : public qor::BuildDialog {
  Q_OBJECT
 public:
  explicit TElement(QWidget* parent = nullptr);
  ~TElement() override;

  void FormShow() override;
  // Converts the five numbers and closes with OK only when they are numbers
  // and make an element of Store; otherwise says why and stays open.
  void Button1Click();

  qor::ElementInput Input{{1, 2, 3, 4}, 1};
  // The model the element is checked against; set by the command before showing.
  const qor::ModelStore* Store = nullptr;

  Ui::TElement* ui;
};
