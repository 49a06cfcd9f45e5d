#pragma once

#include <cstdint>

#include "BrowserDialog.h"

namespace Ui {
class TWYNOB;
}

// Dialog "Wyniki obliczeń": lists elements, nodes or supports and shows the
// stresses of a selected element or the displacement of a selected node while
// the results belong to the model; out-of-date results are not shown.
class TWYNOB : public qor::BrowserDialog {
  Q_OBJECT
 public:
  explicit TWYNOB(QWidget* parent = nullptr);
  ~TWYNOB() override;

  void Button1Click();  // elements
  void Button2Click();  // nodes
  void Button4Click();  // supports
  void ListaClick();

  Ui::TWYNOB* ui;
  // What the list shows: 1 elements, 2 nodes, 4 supports.
  std::int32_t ResultBrowseMode = 1;

 protected:
  std::int32_t CurrentMode() const override { return ResultBrowseMode; }
  void ShowList(std::int32_t mode) override;

 private:
  void ShowResultsState();
  bool ResultsCurrent() const;
};
