#include "Stat.h"

#include "model/ModelStatistics.h"
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
  const qor::ModelStatistics stats = qor::GatherStatistics(*Store);
  ui->Edit1->setText(QString::number(stats.nodes));
  ui->Edit2->setText(QString::number(stats.elements));
  ui->Edit3->setText(QString::number(stats.forces));
  ui->Edit4->setText(QString::number(stats.supports));
  ui->Edit5->setText("0");
  ui->Edit6->setText("0");
  if (!stats.computed) {
    ui->Edit7->setText("NIE");
    return;
  }
  ui->Edit7->setText("TAK");
  ui->Edit5->setText(QString::fromStdString(qor::FormatFixed(stats.largestDisplacement, 0, 7, Separator)));
  ui->Edit6->setText(QString::fromStdString(qor::FormatFixed(stats.largestReducedStress, 0, 7, Separator)));
}
