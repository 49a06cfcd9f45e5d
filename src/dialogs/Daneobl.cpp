#include "Daneobl.h"

#include <QPushButton>

#include "BrowserText.h"
#include "ui_Daneobl.h"

namespace {

using qor::BlankText;
using qor::DashText;

enum DataMode : std::int32_t { Elements = 1, Nodes = 2, Materials = 3, Supports = 4, Forces = 5 };

// Value labels right after a list button; columns in mode order.
constexpr qor::LabelReset kResets[] = {
    {2, {BlankText, DashText, DashText, DashText, DashText}},
    {4, {BlankText, BlankText, DashText, BlankText, BlankText}},
    {11, {BlankText, DashText, BlankText, DashText, DashText}},
    {6, {BlankText, BlankText, DashText, BlankText, BlankText}},
    {7, {BlankText, DashText, DashText, DashText, DashText}},
    {8, {BlankText, DashText, DashText, DashText, DashText}},
    {9, {BlankText, DashText, DashText, DashText, DashText}},
    {13, {BlankText, DashText, BlankText, DashText, DashText}},
    {16, {BlankText, BlankText, DashText, BlankText, DashText}},
    {18, {BlankText, BlankText, DashText, DashText, BlankText}},
};

const char* const kHeaders[] = {
    "Nr elementu : Nr wezła 1 - 2 - 3 - 4 - Nr materiału",
    "Nr węzła : Współrzędna x , y , z",
    "Nr materiału : moduł Younga , wsp. Poissona",
    "Nr podpory : Nr węzła, kierunek podpory, przemieszczenie",
    "Nr węzła : Siław kierunek x lub y lub z",
};

}  // namespace

TDANEOB::TDANEOB(QWidget* parent) : qor::BrowserDialog(parent), ui(new Ui::TDANEOB) {
  ui->setupUi(this);
  BindLabels();
  connect(ui->Button1, &QPushButton::clicked, this, &TDANEOB::Button1Click);
  connect(ui->Button2, &QPushButton::clicked, this, &TDANEOB::Button2Click);
  connect(ui->Button3, &QPushButton::clicked, this, &TDANEOB::Button3Click);
  connect(ui->Button4, &QPushButton::clicked, this, &TDANEOB::Button4Click);
  connect(ui->Button6, &QPushButton::clicked, this, &TDANEOB::Button6Click);
  connect(ui->Button5, &QPushButton::clicked, this, &QDialog::accept);
  // The details follow the selection: a mouse press makes a line current
  // before it selects it, so the current-row signal would come too early.
  connect(ui->Lista, &QListWidget::itemSelectionChanged, this, &TDANEOB::ListaClick);
}

TDANEOB::~TDANEOB() { delete ui; }

void TDANEOB::Button1Click() { SwitchTo(Elements); }
void TDANEOB::Button2Click() { SwitchTo(Nodes); }
void TDANEOB::Button3Click() { SwitchTo(Materials); }
void TDANEOB::Button4Click() { SwitchTo(Supports); }
void TDANEOB::Button6Click() { SwitchTo(Forces); }

void TDANEOB::ShowList(std::int32_t mode) {
  const qor::ModelStore& store = Store();
  DataBrowseMode = mode;
  switch (mode) {
    case Elements:
      qor::FillList(ui->Lista, qor::ElementLines(store));
      break;
    case Nodes:
      qor::FillList(ui->Lista, qor::NodeLines(store, qor::RealFormat::General(15, Separator())));
      break;
    case Materials:
      qor::FillList(ui->Lista, qor::MaterialLines(store, Separator()));
      break;
    case Supports:
      qor::FillList(ui->Lista, qor::SupportLines(store));
      break;
    default:
      qor::FillList(ui->Lista, qor::ForceLines(store, Separator()));
      break;
  }
  ui->Label14->setText(QString::fromUtf8(kHeaders[mode - 1]));
  qor::ResetLabels(Labels(), kResets, mode - 1);
}

void TDANEOB::ListaClick() {
  const qor::ModelStore& store = Store();
  const std::int32_t i = qor::SelectedLine(ui->Lista);
  if (i < 1) return;
  const qor::RealFormat fixed = qor::RealFormat::Fixed(Separator());
  // Each Show... leaves the labels alone when i lies beyond its table.
  switch (DataBrowseMode) {
    case Elements:
      qor::ShowElementDetails(Labels(), store, i, fixed);
      break;
    case Nodes:
      qor::ShowNodeDetails(Labels(), store, i, fixed);
      break;
    case Materials:
      qor::ShowMaterialDetails(Labels(), store, i, fixed);
      break;
    case Supports:
      qor::ShowSupportDetails(Labels(), store, i);
      break;
    default:
      break;  // a force line has no details of its own
  }
}
