#pragma once

#include <cstdint>

#include "BrowserPanel.h"
#include "platform/qt/ModalDialog.h"

namespace Ui {
class TWYNOB;
}
namespace qor {
struct ModelStore;
}

// Dialog "Wyniki obliczeń": lists elements, nodes or supports and shows the
// stresses of a selected element or the displacement of a selected node, as the
// result tables stand. Read-only; it keeps none of the model.
class TWYNOB : public qor::ModalDialog {
  Q_OBJECT
 public:
  explicit TWYNOB(QWidget* parent = nullptr);
  ~TWYNOB() override;

  // The store to read and the decimal separator to write with; the menu command
  // passes the main window's store and the user's regional separator.
  void SetSource(const qor::ModelStore* store, char separator);

  void FormShow() override;
  void Button1Click();  // elements
  void Button2Click();  // nodes
  void Button4Click();  // supports
  void ListaClick();

  Ui::TWYNOB* ui;
  // What the list shows: 1 elements, 2 nodes, 4 supports.
  std::int32_t ResultBrowseMode = 1;

 private:
  void SwitchTo(std::int32_t mode);
  void ShowList(std::int32_t mode);
  const qor::ModelStore& Store() const;

  const qor::ModelStore* store_ = nullptr;
  char separator_ = '.';
  qor::BrowserLabels labels_{};
};
