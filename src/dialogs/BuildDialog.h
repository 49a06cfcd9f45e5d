#pragma once

#include <cstdint>
#include <optional>

#include "platform/Prompts.h"
#include "platform/qt/ModalDialog.h"

class QLineEdit;

namespace qor {

// The decimal separator of the input dialogs: the user's regional one, unless
// SetDialogDecimalSeparator chose another ('\0' returns to the regional one).
char DialogDecimalSeparator();
void SetDialogDecimalSeparator(char separator);

// A kept float as the dialogs show it: fixed-point, 5 decimals, 10 significant digits.
void ShowFloat(QLineEdit* edit, float value);
void ShowInt(QLineEdit* edit, std::int32_t value);
// The number in an edit, or nothing when its text is not one.
std::optional<float> ReadFloat(const QLineEdit* edit);
std::optional<std::int32_t> ReadInt(const QLineEdit* edit);

// Base of the model-building input dialogs: a fixed-size dialog without system
// buttons whose OK button converts every control before it closes. A control
// that holds no number shows the dialog's message, and the dialog stays open
// with the user's text, so no command runs on a half-read dialog.
class BuildDialog : public ModalDialog {
  Q_OBJECT
 public:
  explicit BuildDialog(QWidget* parent = nullptr);

  // Where the dialog's messages go; the main window passes its own Prompts
  // before showing the dialog. Without one a Qt message box is used.
  void SetPrompts(Prompts* prompts) { prompts_ = prompts; }

  // Every showing starts without a result, so a rejected OK press is not
  // mistaken for the acceptance of an earlier use, and with the focus in the
  // first field.
  void FormShow() override;

 protected:
  // Shows `message` and keeps the dialog open.
  void Refuse(const UserMessage& message);

 private:
  Prompts* prompts_ = nullptr;
};

}  // namespace qor
