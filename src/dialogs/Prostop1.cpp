#include "Prostop1.h"

#include "ui_Prostop1.h"

TProst1::TProst1(QWidget* parent) : qor::BuildDialog(parent), ui(new Ui::TProst1) {
  ui->setupUi(this);
  connect(ui->Button1, &QPushButton::clicked, this, &TProst1::Button1Click);
  connect(ui->Anuluj, &QPushButton::clicked, this, &QDialog::reject);
}

TProst1::~TProst1() { delete ui; }

QLineEdit* TProst1::CornerEdit(int number) const { return findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(number)); }

void TProst1::FormShow() {
  BuildDialog::FormShow();
  for (int k = 1; k <= 8; ++k) {
    qor::ShowFloat(CornerEdit(k), CornerX[k]);
    qor::ShowFloat(CornerEdit(k + 8), CornerY[k]);
    qor::ShowFloat(CornerEdit(k + 16), CornerZ[k]);
  }
  qor::ShowInt(ui->Edit25, MaterialNumber);
  ui->ScalBox->setChecked(MergeFlag);
}

void TProst1::Button1Click() {
  qor::HexahedronParams read;
  float* columns[3] = {read.CornerX, read.CornerY, read.CornerZ};
  for (int column = 0; column < 3; ++column) {
    for (int k = 1; k <= 8; ++k) {
      const std::optional<float> value = qor::ReadFloat(CornerEdit(k + 8 * column));
      if (!value) return Refuse({"Złe parametry sześciościanu", "Sześciościan", qor::MessageStyle::Plain});
      columns[column][k] = *value;
    }
  }
  const std::optional<std::int32_t> material = qor::ReadInt(ui->Edit25);
  if (!material) return Refuse({"Złe parametry sześciościanu", "Sześciościan", qor::MessageStyle::Plain});
  read.MaterialNumber = *material;
  read.MergeFlag = ui->ScalBox->isChecked();
  static_cast<qor::HexahedronParams&>(*this) = read;
  accept();
}
