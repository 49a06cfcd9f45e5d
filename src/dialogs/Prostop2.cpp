#include "Prostop2.h"

#include "CuboidControls.h"
#include "ui_Prostop2.h"

namespace {
qor::CuboidControls Controls(Ui::TProst2* ui) {
  return {{ui->Edit1, ui->Edit2, ui->Edit3, ui->Edit4, ui->Edit5, ui->Edit6, ui->Edit7},
          {nullptr, nullptr, nullptr},
          ui->ScalBox};
}
}  // namespace

TProst2::TProst2(QWidget* parent) : qor::BuildDialog(parent), ui(new Ui::TProst2) {
  ui->setupUi(this);
  connect(ui->Button1, &QPushButton::clicked, this, &TProst2::Button1Click);
  connect(ui->Anuluj, &QPushButton::clicked, this, &QDialog::reject);
}

TProst2::~TProst2() { delete ui; }

void TProst2::FormShow() {
  BuildDialog::FormShow();
  qor::ShowCuboid(Controls(ui), *this);
}

void TProst2::Button1Click() {
  const std::optional<qor::CuboidParams> read = qor::ReadCuboid(Controls(ui), *this);
  if (!read) return Refuse(qor::CuboidInputMessage());
  static_cast<qor::CuboidParams&>(*this) = *read;
  accept();
}
