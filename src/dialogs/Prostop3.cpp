#include "Prostop3.h"

#include "CuboidControls.h"
#include "ui_Prostop3.h"

namespace {
qor::CuboidControls Controls(Ui::TProst3* ui) {
  return {{ui->Edit1, ui->Edit2, ui->Edit3, ui->Edit4, ui->Edit5, ui->Edit6, ui->Edit7},
          {ui->nx, ui->ny, ui->nz},
          ui->ScalBox};
}
}  // namespace

TProst3::TProst3(QWidget* parent) : qor::BuildDialog(parent), ui(new Ui::TProst3) {
  ui->setupUi(this);
  connect(ui->Button1, &QPushButton::clicked, this, &TProst3::Button1Click);
  connect(ui->Anuluj, &QPushButton::clicked, this, &QDialog::reject);
}

TProst3::~TProst3() { delete ui; }

void TProst3::FormShow() {
  BuildDialog::FormShow();
  qor::ShowCuboid(Controls(ui), *this);
}

void TProst3::Button1Click() {
  const std::optional<qor::CuboidParams> read = qor::ReadCuboid(Controls(ui), *this);
  if (!read) return Refuse(qor::CuboidInputMessage());
  static_cast<qor::CuboidParams&>(*this) = *read;
  accept();
}
