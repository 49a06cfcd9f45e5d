#include "Wezel.h"

#include "ui_Wezel.h"

TWezel::TWezel(QWidget* parent) : qor::BuildDialog(parent), ui(new Ui::TWezel) {
  ui->setupUi(this);
  connect(ui->Button1, &QPushButton::clicked, this, &TWezel::Button1Click);
  connect(ui->Anuluj, &QPushButton::clicked, this, &QDialog::reject);
}

TWezel::~TWezel() { delete ui; }

void TWezel::FormShow() {
  BuildDialog::FormShow();
  qor::ShowFloat(ui->Edit1, X);
  qor::ShowFloat(ui->Edit2, Y);
  qor::ShowFloat(ui->Edit3, Z);
}

void TWezel::Button1Click() {
  const std::optional<float> x = qor::ReadFloat(ui->Edit1);
  const std::optional<float> y = qor::ReadFloat(ui->Edit2);
  const std::optional<float> z = qor::ReadFloat(ui->Edit3);
  if (!x || !y || !z) return Refuse({"Złe współrzędne węzła", "Węzeł", qor::MessageStyle::Plain});
  X = *x;
  Y = *y;
  Z = *z;
  accept();
}
