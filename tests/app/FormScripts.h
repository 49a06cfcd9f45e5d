#pragma once

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <utility>
#include <vector>

#include "platform/qt/ModalDialog.h"
#include "support/ScriptedPrompts.h"

namespace qor::test {

using Fields = std::vector<std::pair<QString, QString>>;
using Checks = std::vector<std::pair<QString, bool>>;

// A form script for an input dialog: types the named fields, sets the named
// check boxes, presses OK and reports the result the dialog closed with.
inline ScriptedPrompts::FormScript TypeAndPressOk(Fields fields, Checks checks = {}) {
  return [fields, checks](ModalForm& form) {
    auto& dialog = dynamic_cast<ModalDialog&>(form);
    for (const auto& [name, text] : fields) {
      auto* edit = dialog.findChild<QLineEdit*>(name);
      EXPECT_NE(edit, nullptr) << name.toStdString();
      if (edit) edit->setText(text);
    }
    for (const auto& [name, on] : checks) {
      auto* box = dialog.findChild<QCheckBox*>(name);
      EXPECT_NE(box, nullptr) << name.toStdString();
      if (box) box->setChecked(on);
    }
    dialog.findChild<QPushButton*>("Button1")->click();
    return dialog.ModalResultCode();
  };
}

}  // namespace qor::test
