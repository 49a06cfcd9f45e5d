#include "Stat.h"

#include <cmath>

#include "platform/NumberText.h"
#include "ui_Stat.h"

TSt::TSt(QWidget* parent) : qor::ModalDialog(parent), ui(new Ui::TSt) {
  ui->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  connect(ui->OK, &QPushButton::clicked, this, &TSt::OKClick);
}

TSt::~TSt() { delete ui; }

void TSt::OKClick() { accept(); }

void TSt::FormShow() {
  if (!Store) return;
  const qor::ModelStore& s = *Store;
  int forces = 0;
  for (int d = 1; d <= 3 * s.NodeCount; ++d)
    if (s.Forces[d] != 0) ++forces;
  ui->Edit1->setText(QString::number(s.NodeCount));
  ui->Edit2->setText(QString::number(s.ElementCount));
  ui->Edit3->setText(QString::number(forces));
  ui->Edit4->setText(QString::number(s.SupportCount));
  ui->Edit5->setText("0");
  ui->Edit6->setText("0");
  if (s.ResultsValid == 0) {
    ui->Edit7->setText("NIE");
    return;
  }
  float stress = 0, displacement = 0;
  for (int e = 1; e <= s.ElementCount; ++e)
    if (s.Stresses[e][qor::Reduced] > stress) stress = s.Stresses[e][qor::Reduced];
  for (int d = 1; d <= 3 * s.NodeCount; ++d)
    if (std::fabs(s.Displacements[d]) > displacement) displacement = std::fabs(s.Displacements[d]);
  ui->Edit7->setText("TAK");
  ui->Edit5->setText(QString::fromStdString(qor::FormatFixed(displacement, 0, 7, Separator)));
  ui->Edit6->setText(QString::fromStdString(qor::FormatFixed(stress, 0, 7, Separator)));
}
