#include "Mater.h"

#include "model/ModelStore.h"
#include "ui_Mater.h"

TMaterial::TMaterial(QWidget* parent) : qor::BuildDialog(parent), ui(new Ui::TMaterial) {
  ui->setupUi(this);
  connect(ui->Button1, &QPushButton::clicked, this, &TMaterial::Button1Click);
  connect(ui->Anuluj, &QPushButton::clicked, this, &QDialog::reject);
}

TMaterial::~TMaterial() { delete ui; }

void TMaterial::FormShow() {
  BuildDialog::FormShow();
  qor::ShowFloat(ui->EP, E);
  qor::ShowFloat(ui->niP, nu);
  qor::ShowInt(ui->matP, MaterialNumber);
}

void TMaterial::Button1Click() {
  const std::optional<float> e = qor::ReadFloat(ui->EP);
  const std::optional<float> n = qor::ReadFloat(ui->niP);
  const std::optional<std::int32_t> number = qor::ReadInt(ui->matP);
  if (!e || !n || !number) return Refuse({"Złe parametry materiału", "Materiał", qor::MessageStyle::Plain});
  if (!qor::MaterialConstantsValid(*e, *n))
    return Refuse({"Złe parametry materiału:\nE musi być większe od zera, a ni większe od -1 i mniejsze od 0,5.",
                   "Materiał", qor::MessageStyle::Plain});
  E = *e;
  nu = *n;
  MaterialNumber = *number;
  accept();
}
