#include "platform/qt/QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace qor {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QFileDialog* MakeFileDialog(QWidget* parent, const FileDialogSettings& settings) {
  auto* dialog = new QFileDialog(parent, Q(settings.title));
  dialog->setNameFilters(ToQtNameFilters(settings.filter));
  QString ext = Q(settings.defaultExtension);
  if (ext.startsWith("*.")) ext = ext.mid(2);
  if (ext.startsWith('.')) ext = ext.mid(1);
  dialog->setDefaultSuffix(ext);
  if (!settings.initialPath.empty()) dialog->selectFile(Q(settings.initialPath));
  dialog->setAttribute(Qt::WA_DeleteOnClose, false);
  return dialog;
}

std::optional<std::string> RunFileDialog(QFileDialog* dialog) {
  std::optional<std::string> chosen;
  if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
    chosen = dialog->selectedFiles().constFirst().toStdString();
  delete dialog;
  return chosen;
}

}  // namespace

QStringList ToQtNameFilters(const std::string& filter) {
  const QStringList parts = Q(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(';');
    // "*.*" means every file; Qt would take the dot literally and hide the
    // files without an extension, which GiD meshes often are.
    for (QString& pattern : patterns)
      if (pattern.trimmed() == QStringLiteral("*.*")) pattern = QStringLiteral("*");
    filters << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), patterns.join(' '));
  }
  return filters;
}

void QtPrompts::MessageBox(const UserMessage& message) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  if (message.style == MessageStyle::Stop) icon = QMessageBox::Critical;
  if (message.style == MessageStyle::Exclamation) icon = QMessageBox::Warning;
  QMessageBox box(icon, Q(message.caption), Q(message.text), QMessageBox::Ok, parent_);
  if (!message.detail.empty()) box.setInformativeText(Q(message.detail));
  box.exec();
}

void QtPrompts::ShowMessage(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), Q(text), QMessageBox::Ok, parent_);
  box.exec();
}

std::optional<std::string> QtPrompts::InputQuery(const std::string& caption, const std::string& prompt,
                                                 const std::string& initial) {
  bool ok = false;
  const QString text = QInputDialog::getText(parent_, Q(caption), Q(prompt), QLineEdit::Normal, Q(initial), &ok);
  if (!ok) return std::nullopt;
  return text.toStdString();
}

std::optional<std::string> QtPrompts::OpenFileName(const FileDialogSettings& settings) {
  QFileDialog* dialog = MakeFileDialog(parent_, settings);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setFileMode(QFileDialog::ExistingFile);
  return RunFileDialog(dialog);
}

std::optional<std::string> QtPrompts::SaveFileName(const FileDialogSettings& settings) {
  QFileDialog* dialog = MakeFileDialog(parent_, settings);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  return RunFileDialog(dialog);
}

Answer QtPrompts::AskYesNoCancel(const UserMessage& question) {
  QMessageBox box(QMessageBox::Question, Q(question.caption), Q(question.text),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

int QtPrompts::ShowModal(ModalForm& form) {
  form.FormShow();
  return form.RunModal();
}

void QtPrompts::SetBusyCursor(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

}  // namespace qor
