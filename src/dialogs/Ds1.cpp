#include "Ds1.h"

#include "NodeRangeControls.h"
#include "ui_Ds1.h"

TS1::TS1(QWidget* parent) : qor::BuildDialog(parent), ui(new Ui::TS1) {
  ui->setupUi(this);
  connect(ui->Button1, &QPushButton::clicked, this, &TS1::Button1Click);
  connect(ui->Button2, &QPushButton::clicked, this, &QDialog::reject);
}

TS1::~TS1() { delete ui; }

void TS1::FormShow() {
  BuildDialog::FormShow();
  qor::ClearNodeRange(
      {ui->Edit1, ui->Edit2, ui->Edit3, ui->Edit4, ui->Edit5, ui->Edit6, ui->Edit7, ui->Edit8, ui->Edit9});
}

void TS1::Button1Click() {
  const std::optional<qor::NodeRangeParams> read = qor::ReadNodeRange(
      {ui->Edit1, ui->Edit2, ui->Edit3, ui->Edit4, ui->Edit5, ui->Edit6, ui->Edit7, ui->Edit8, ui->Edit9}, *this);
  if (!read) return Refuse({"Podałeś błędne dane", "Dodaj siłę", qor::MessageStyle::Stop});
  static_cast<qor::NodeRangeParams&>(*this) = *read;
  accept();
}
