#include "BrowserDialog.h"

#include <QLabel>

namespace qor {

BrowserDialog::BrowserDialog(QWidget* parent) : ModalDialog(parent) {
  // Fixed border, no system menu and no close box: OK is the way out.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}

void BrowserDialog::SetSource(const ModelStore* store, char separator) {
  store_ = store;
  separator_ = separator;
}

void BrowserDialog::FormShow() { ShowList(1); }

void BrowserDialog::BindLabels() {
  for (int n = 1; n < static_cast<int>(labels_.size()); ++n)
    labels_[n] = findChild<QLabel*>(QStringLiteral("Label%1").arg(n));
}

void BrowserDialog::SwitchTo(std::int32_t mode) {
  if (mode != CurrentMode()) ShowList(mode);
}

const ModelStore& BrowserDialog::Store() const { return store_ ? *store_ : EmptyModel(); }

}  // namespace qor
