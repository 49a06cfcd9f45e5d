#include "BuildDialog.h"

#include <QLineEdit>
#include <QLocale>

#include "platform/NumberText.h"
#include "platform/qt/QtPrompts.h"

namespace qor {
namespace {
char chosenSeparator = '\0';
}

char DialogDecimalSeparator() {
  if (chosenSeparator != '\0') return chosenSeparator;
  return QLocale::system().decimalPoint() == QStringLiteral(",") ? ',' : '.';
}

void SetDialogDecimalSeparator(char separator) { chosenSeparator = separator; }

void ShowFloat(QLineEdit* edit, float value) {
  edit->setText(QString::fromStdString(FormatFixed(value, 10, 5, DialogDecimalSeparator())));
}

void ShowInt(QLineEdit* edit, std::int32_t value) { edit->setText(QString::number(value)); }

std::optional<float> ReadFloat(const QLineEdit* edit) {
  return ParseFloat(edit->text().toStdString(), DialogDecimalSeparator());
}

std::optional<std::int32_t> ReadInt(const QLineEdit* edit) { return ParseInt(edit->text().toStdString()); }

BuildDialog::BuildDialog(QWidget* parent) : ModalDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}

void BuildDialog::FormShow() {
  setResult(QDialog::Rejected);
  // Typing starts in the first field again, whichever control had the focus
  // when the dialog last closed (usually the OK button).
  for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
      edit->setFocus(Qt::OtherFocusReason);
      break;
    }
  }
}

void BuildDialog::Refuse(const UserMessage& message) {
  if (prompts_) {
    prompts_->MessageBox(message);
  } else {
    QtPrompts own(this);
    own.MessageBox(message);
  }
}

}  // namespace qor
