#pragma once

#include <optional>
#include <string>

#include "platform/UserMessage.h"

namespace qor {

// Results of a modal form, numbered as the forms' OK and Cancel buttons set them.
enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };

// A dialog that can be shown modally. The Prompts port fills it on showing
// (FormShow) and then lets the user, or a test script, work it until it closes.
class ModalForm {
 public:
  virtual ~ModalForm() = default;
  // Fills the controls from the dialog's kept values.
  virtual void FormShow() {}
  // Runs the form until it closes and returns its ModalResult.
  virtual int RunModal() = 0;
};

// Settings of a standard open or save dialog.
struct FileDialogSettings {
  std::string filter;  // "Caption|pattern|Caption|pattern"
  std::string title;
  std::string defaultExtension;  // "*.q3d" or "q3d"; empty for none
  std::string initialPath{};     // the file the dialog offers first; empty for none
};

// The answers of a question with the toolkit's Yes, No and Cancel buttons.
enum class Answer { Yes, No, Cancel };

// Everything that asks the user something or tells the user something.
// The Qt implementation shows real dialogs; tests script the answers.
class Prompts {
 public:
  virtual ~Prompts() = default;

  // A message box with caption, text, one OK button and the style's icon.
  virtual void MessageBox(const UserMessage& message) = 0;
  // The toolkit's plain message dialog: the application title as caption, OK.
  virtual void ShowMessage(const std::string& text) = 0;
  // An input box; the entered text on OK, nothing on Cancel.
  virtual std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                                const std::string& initial) = 0;
  // Standard file dialogs; the chosen path (UTF-8), nothing when cancelled.
  virtual std::optional<std::string> OpenFileName(const FileDialogSettings& settings) = 0;
  virtual std::optional<std::string> SaveFileName(const FileDialogSettings& settings) = 0;
  // A question (caption and text) with the toolkit's Yes, No and Cancel
  // buttons; closing the box otherwise answers Cancel.
  virtual Answer AskYesNoCancel(const UserMessage& question) = 0;
  // Calls the form's FormShow, runs it modally and returns its ModalResult.
  virtual int ShowModal(ModalForm& form) = 0;
  // The hourglass cursor over the application while a long computation runs.
  virtual void SetBusyCursor(bool busy) = 0;
};

}  // namespace qor
