#include "platform/qt/ModalDialog.h"

namespace qor {

ModalDialog::ModalDialog(QWidget* parent) : QDialog(parent) {}

int ModalDialog::RunModal() { return exec() == QDialog::Accepted ? mrOk : mrCancel; }

int ModalDialog::ModalResultCode() const {
  if (result() == QDialog::Accepted) return mrOk;
  return mrCancel;
}

}  // namespace qor
