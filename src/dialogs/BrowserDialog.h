#pragma once

#include <cstdint>

#include "BrowserPanel.h"
#include "platform/qt/ModalDialog.h"

namespace qor {

struct ModelStore;

// Base of the two browsers: a read-only dialog that lists one table of the
// model at a time and details the selected line. It keeps no model data, only
// where to read it from while it is shown.
class BrowserDialog : public ModalDialog {
  Q_OBJECT
 public:
  // The store to read and the decimal separator to write with; the menu command
  // passes the main window's store and the user's regional separator.
  void SetSource(const ModelStore* store, char separator);

  // Every showing starts again from the element list with blank labels.
  void FormShow() override;

 protected:
  explicit BrowserDialog(QWidget* parent);

  // Finds the form's labels Label1 ... Label32 by name; called after setupUi.
  void BindLabels();

  // A list button: the mode already shown keeps its list, selection and labels.
  void SwitchTo(std::int32_t mode);

  virtual std::int32_t CurrentMode() const = 0;
  // Sets the mode, rebuilds the list and its header, resets the value labels.
  virtual void ShowList(std::int32_t mode) = 0;

  const ModelStore& Store() const;
  char Separator() const { return separator_; }
  const BrowserLabels& Labels() const { return labels_; }

 private:
  const ModelStore* store_ = nullptr;
  char separator_ = '.';
  BrowserLabels labels_{};
};

}  // namespace qor
