#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Prompts.h"

namespace qor {

// A Prompts double for tests: records everything shown and answers as the test
// tells it. Unscripted input boxes are cancelled; an unscripted Yes/No/Cancel
// question is answered No, so a command goes on as it would without asking;
// unscripted forms close with mrCancel.
class ScriptedPrompts final : public Prompts {
 public:
  struct Query {
    std::string caption, prompt, initial;
  };
  using FormScript = std::function<int(ModalForm&)>;

  // What was shown, in order of kind.
  std::vector<UserMessage> messages;
  std::vector<std::string> plainMessages;
  std::vector<Query> queries;
  std::vector<FileDialogSettings> openDialogs, saveDialogs;
  std::vector<ModalForm*> shownForms;
  std::vector<bool> busyCursor;
  std::vector<UserMessage> questions;

  // Answers, used front first.
  std::deque<std::optional<std::string>> inputAnswers;
  std::deque<std::optional<std::string>> openAnswers, saveAnswers;
  std::deque<FormScript> formScripts;
  std::deque<Answer> questionAnswers;

  void AnswerInput(std::optional<std::string> answer) { inputAnswers.push_back(std::move(answer)); }
  void AnswerOpen(std::optional<std::string> path) { openAnswers.push_back(std::move(path)); }
  void AnswerSave(std::optional<std::string> path) { saveAnswers.push_back(std::move(path)); }
  void OnForm(FormScript script) { formScripts.push_back(std::move(script)); }
  void AnswerQuestion(Answer answer) { questionAnswers.push_back(answer); }

  void MessageBox(const UserMessage& message) override;
  void ShowMessage(const std::string& text) override;
  std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                        const std::string& initial) override;
  std::optional<std::string> OpenFileName(const FileDialogSettings& settings) override;
  std::optional<std::string> SaveFileName(const FileDialogSettings& settings) override;
  Answer AskYesNoCancel(const UserMessage& question) override;
  int ShowModal(ModalForm& form) override;
  void SetBusyCursor(bool busy) override;
};

}  // namespace qor
