#include "support/ScriptedPrompts.h"

namespace qor {
namespace {
template <typename T>
std::optional<std::string> TakeFront(std::deque<T>& answers) {
  if (answers.empty()) return std::nullopt;
  auto answer = std::move(answers.front());
  answers.pop_front();
  return answer;
}
}  // namespace

void ScriptedPrompts::MessageBox(const UserMessage& message) { messages.push_back(message); }

void ScriptedPrompts::ShowMessage(const std::string& text) { plainMessages.push_back(text); }

std::optional<std::string> ScriptedPrompts::InputQuery(const std::string& caption, const std::string& prompt,
                                                       const std::string& initial) {
  queries.push_back({caption, prompt, initial});
  return TakeFront(inputAnswers);
}

std::optional<std::string> ScriptedPrompts::OpenFileName(const FileDialogSettings& settings) {
  openDialogs.push_back(settings);
  return TakeFront(openAnswers);
}

std::optional<std::string> ScriptedPrompts::SaveFileName(const FileDialogSettings& settings) {
  saveDialogs.push_back(settings);
  return TakeFront(saveAnswers);
}

Answer ScriptedPrompts::AskYesNoCancel(const UserMessage& question) {
  questions.push_back(question);
  if (questionAnswers.empty()) return Answer::No;
  const Answer answer = questionAnswers.front();
  questionAnswers.pop_front();
  return answer;
}

int ScriptedPrompts::ShowModal(ModalForm& form) {
  shownForms.push_back(&form);
  form.FormShow();
  if (formScripts.empty()) return mrCancel;
  FormScript script = std::move(formScripts.front());
  formScripts.pop_front();
  return script(form);
}

void ScriptedPrompts::SetBusyCursor(bool busy) { busyCursor.push_back(busy); }

}  // namespace qor
