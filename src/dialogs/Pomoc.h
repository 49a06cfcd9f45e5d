#pragma once

#include "platform/qt/ModalDialog.h"

namespace Ui {
class TPomoc;
}

// Window "Pomoc": a short guide to the program's work, from the mesh to the
// exported results.
class TPomoc : public qor::ModalDialog {
  Q_OBJECT
 public:
  explicit TPomoc(QWidget* parent = nullptr);
  ~TPomoc() override;

  Ui::TPomoc* ui;
};

// The guide's text (HTML).
extern const char* const HelpGuide;
