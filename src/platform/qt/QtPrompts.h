#pragma once

#include <QString>
#include <QStringList>

#include "platform/Prompts.h"

class QWidget;

namespace qor {

// Prompts shown with Qt's standard dialogs, owned by `parent` (the main window).
class QtPrompts final : public Prompts {
 public:
  explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  void MessageBox(const UserMessage& message) override;
  void ShowMessage(const std::string& text) override;
  std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                        const std::string& initial) override;
  std::optional<std::string> OpenFileName(const FileDialogSettings& settings) override;
  std::optional<std::string> SaveFileName(const FileDialogSettings& settings) override;
  Answer AskYesNoCancel(const UserMessage& question) override;
  int ShowModal(ModalForm& form) override;
  void SetBusyCursor(bool busy) override;

 private:
  QWidget* parent_;
};

// "Caption|pattern|Caption|pattern" as Qt name filters: "Caption (pattern)";
// the pattern "*.*" becomes "*", so it lists files without an extension too.
QStringList ToQtNameFilters(const std::string& filter);

}  // namespace qor
