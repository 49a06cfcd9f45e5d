#pragma once

#include <cstdint>

#include "BrowserDialog.h"

namespace Ui {
class TDANEOB;
}

// Dialog "Dane obliczeniowe": lists the elements, nodes, materials, supports or
// forces of the model and shows the details of the selected line.
class TDANEOB : public qor::BrowserDialog {
  Q_OBJECT
 public:
  explicit TDANEOB(QWidget* parent = nullptr);
  ~TDANEOB() override;

  void Button1Click();  // elements
  void Button2Click();  // nodes
  void Button3Click();  // materials
  void Button4Click();  // supports
  void Button6Click();  // forces
  void ListaClick();

  Ui::TDANEOB* ui;
  // What the list shows: 1 elements, 2 nodes, 3 materials, 4 supports, 5 forces.
  std::int32_t DataBrowseMode = 1;

 protected:
  std::int32_t CurrentMode() const override { return DataBrowseMode; }
  void ShowList(std::int32_t mode) override;
};
