#pragma once

#include <cstdint>

#include "BrowserPanel.h"
#include "platform/qt/ModalDialog.h"

namespace Ui {
class TDANEOB;
}
namespace qor {
struct ModelStore;
}

// Dialog "Dane obliczeniowe": lists the elements, nodes, materials, supports or
// forces of the model and shows the details of the selected line. Read-only; it
// rebuilds its list on every showing and keeps none of the model.
class TDANEOB : public qor::ModalDialog {
  Q_OBJECT
 public:
  explicit TDANEOB(QWidget* parent = nullptr);
  ~TDANEOB() override;

  // The store to read and the decimal separator to write with; the menu command
  // passes the main window's store and the user's regional separator.
  void SetSource(const qor::ModelStore* store, char separator);

  void FormShow() override;
  void Button1Click();  // elements
  void Button2Click();  // nodes
  void Button3Click();  // materials
  void Button4Click();  // supports
  void Button6Click();  // forces
  void ListaClick();

  Ui::TDANEOB* ui;
  // What the list shows: 1 elements, 2 nodes, 3 materials, 4 supports, 5 forces.
  std::int32_t DataBrowseMode = 1;

 private:
  void SwitchTo(std::int32_t mode);
  void ShowList(std::int32_t mode);
  const qor::ModelStore& Store() const;

  const qor::ModelStore* store_ = nullptr;
  char separator_ = '.';
  qor::BrowserLabels labels_{};
};
