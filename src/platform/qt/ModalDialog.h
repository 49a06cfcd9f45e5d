#pragma once

#include <QDialog>

#include "platform/Prompts.h"

namespace qor {

// Base of the program's dialogs: a QDialog that the Prompts port can show.
// Accepting the dialog gives mrOk, rejecting or closing it mrCancel.
class ModalDialog : public QDialog, public ModalForm {
  Q_OBJECT
 public:
  explicit ModalDialog(QWidget* parent = nullptr);

  int RunModal() override;
  // The result the dialog closed with, for scripted use without an event loop.
  int ModalResultCode() const;
};

}  // namespace qor
