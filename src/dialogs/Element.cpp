#include "Element.h"

#include "ui_Element.h"

TElement::TElement(QWidget* parent) : qor::BuildDialog(parent), ui(new Ui::TElement) {
  ui->setupUi(this);
  connect(ui->Button1, &QPushButton::clicked, this, &TElement::Button1Click);
  connect(ui->Anuluj, &QPushButton::clicked, this, &QDialog::reject);
}

TElement::~TElement() { delete ui; }

void TElement::FormShow() {
  BuildDialog::FormShow();
  QLineEdit* const nodes[] = {ui->Edit1, ui->Edit2, ui->Edit3, ui->Edit4};
  for (int a = 0; a < 4; ++a) qor::ShowInt(nodes[a], Input.nodes[a]);
  qor::ShowInt(ui->Edit5, Input.material);
}

void TElement::Button1Click() {
  const QLineEdit* const edits[] = {ui->Edit1, ui->Edit2, ui->Edit3, ui->Edit4, ui->Edit5};
  qor::ElementInput typed;
  for (int a = 0; a < 5; ++a) {
    const std::optional<std::int32_t> number = qor::ReadInt(edits[a]);
    if (!number) return Refuse({"Złe dane elementu", "Element", qor::MessageStyle::Plain});
    (a < 4 ? typed.nodes[a] : typed.material) = *number;
  }
  if (Store)
    if (auto refusal = qor::ElementRefusal(*Store, typed)) return Refuse(*refusal);
  Input = typed;
  accept();
}
