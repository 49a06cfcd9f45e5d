#include "Dp1.h"

#include "NodeRangeControls.h"
#include "ui_Dp1.h"

TP1::TP1(QWidget* parent) : qor::BuildDialog(parent), ui(new Ui::TP1) {
  ui->setupUi(this);
  connect(ui->Button1, &QPushButton::clicked, this, &TP1::Button1Click);
  connect(ui->Button2, &QPushButton::clicked, this, &QDialog::reject);
}

TP1::~TP1() { delete ui; }

void TP1::FormShow() {
  BuildDialog::FormShow();
  ui->pkx->setChecked(true);
  ui->pky->setChecked(true);
  ui->pkz->setChecked(true);
  qor::ClearNodeRange(
      {ui->Edit1, ui->Edit2, ui->Edit3, ui->Edit4, ui->Edit5, ui->Edit6, ui->Edit7, ui->Edit8, ui->Edit9});
}

void TP1::Button1Click() {
  std::optional<qor::NodeRangeParams> read = qor::ReadNodeRange(
      {ui->Edit1, ui->Edit2, ui->Edit3, ui->Edit4, ui->Edit5, ui->Edit6, ui->Edit7, ui->Edit8, ui->Edit9}, *this);
  if (!read) return Refuse({"Podałeś błędne dane", "Dodaj podpore", qor::MessageStyle::Stop});
  read->FixX = ui->pkx->isChecked();
  read->FixY = ui->pky->isChecked();
  read->FixZ = ui->pkz->isChecked();
  static_cast<qor::NodeRangeParams&>(*this) = *read;
  accept();
}
