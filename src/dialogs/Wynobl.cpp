#include "Wynobl.h"

#include <QLabel>
#include <QPushButton>

#include "BrowserText.h"
#include "ui_Wynobl.h"

namespace {

using qor::BlankText;
using qor::DashText;

enum ResultMode : std::int32_t { Elements = 1, Nodes = 2, Supports = 4 };

// Column of a mode in the tables below.
int ColumnOf(std::int32_t mode) { return mode == Elements ? 0 : mode == Nodes ? 1 : 2; }

constexpr const char* DisplacementCaption = "Przemieszczenia węzła :";

// Value labels right after a list button; columns: elements, nodes, supports.
constexpr qor::LabelReset kResets[] = {
    {2, {BlankText, DashText, DashText}},
    {4, {BlankText, BlankText, BlankText}},
    {11, {BlankText, DashText, DashText}},
    {6, {BlankText, BlankText, BlankText}},
    {7, {BlankText, DisplacementCaption, DashText}},
    {8, {BlankText, DashText, DashText}},
    {9, {BlankText, DashText, DashText}},
    {13, {BlankText, DashText, DashText}},
    {16, {BlankText, BlankText, BlankText}},
    {18, {BlankText, BlankText, DashText}},
    {20, {BlankText, BlankText, BlankText}},
    {21, {BlankText, BlankText, BlankText}},
    {22, {BlankText, BlankText, BlankText}},
    {23, {BlankText, BlankText, BlankText}},
    {30, {BlankText, BlankText, BlankText}},
    {31, {BlankText, BlankText, BlankText}},
    {32, {BlankText, BlankText, BlankText}},
};

const char* const kHeaders[] = {
    "Nr elementu : Nr wezła 1 - 2 - 3 - 4 - Nr materiału",
    "Nr węzła : Współrzędna x , y , z",
    "Nr podpory : Nr węzła, kierunek podpory, przemieszczenie",
};

// Every real of this dialog: at most 7 significant digits.
constexpr int ResultDigits = 7;

}  // namespace

TWYNOB::TWYNOB(QWidget* parent) : qor::BrowserDialog(parent), ui(new Ui::TWYNOB) {
  ui->setupUi(this);
  BindLabels();
  connect(ui->Button1, &QPushButton::clicked, this, &TWYNOB::Button1Click);
  connect(ui->Button2, &QPushButton::clicked, this, &TWYNOB::Button2Click);
  connect(ui->Button4, &QPushButton::clicked, this, &TWYNOB::Button4Click);
  connect(ui->Button5, &QPushButton::clicked, this, &QDialog::accept);
  // The details follow the selection: a mouse press makes a line current
  // before it selects it, so the current-row signal would come too early.
  connect(ui->Lista, &QListWidget::itemSelectionChanged, this, &TWYNOB::ListaClick);
}

TWYNOB::~TWYNOB() { delete ui; }

void TWYNOB::Button1Click() { SwitchTo(Elements); }
void TWYNOB::Button2Click() { SwitchTo(Nodes); }
void TWYNOB::Button4Click() { SwitchTo(Supports); }

void TWYNOB::ShowList(std::int32_t mode) {
  const qor::ModelStore& store = Store();
  ResultBrowseMode = mode;
  switch (mode) {
    case Elements:
      qor::FillList(ui->Lista, qor::ElementLines(store));
      break;
    case Nodes:
      qor::FillList(ui->Lista, qor::NodeLines(store, qor::RealFormat::General(ResultDigits, Separator())));
      break;
    default:
      qor::FillList(ui->Lista, qor::SupportLines(store));
      break;
  }
  ui->Label14->setText(QString::fromUtf8(kHeaders[ColumnOf(mode)]));
  qor::ResetLabels(Labels(), kResets, ColumnOf(mode));
  ShowResultsState();
}

// Results of an earlier model (or none at all) must not pass for the model's
// own: while they are out of date the stress block gives way to a notice and
// no stress or displacement is shown.
void TWYNOB::ShowResultsState() {
  const bool current = ResultsCurrent();
  for (QLabel* label : {ui->Label19, ui->Label20, ui->Label21, ui->Label22, ui->Label23, ui->Label24, ui->Label25,
                        ui->Label26, ui->Label27, ui->Label28, ui->Label29, ui->Label30, ui->Label31, ui->Label32})
    label->setVisible(current);
  ui->Label33->setVisible(!current);
}

bool TWYNOB::ResultsCurrent() const { return Store().ResultsValid == 1; }

void TWYNOB::ListaClick() {
  const qor::ModelStore& store = Store();
  const std::int32_t i = qor::SelectedLine(ui->Lista);
  if (i < 1) return;
  const qor::RealFormat general = qor::RealFormat::General(ResultDigits, Separator());
  // Each Show... leaves the labels alone when i lies beyond its table.
  switch (ResultBrowseMode) {
    case Elements:
      if (qor::ShowElementDetails(Labels(), store, i, general) && ResultsCurrent()) {
        // Each shear stress stands beside the normal stress of its row: xy by x, xz by y, yz by z.
        const qor::StressRow& s = store.Stresses[i];
        qor::SetLabelText(ui->Label20, general(s[qor::SigmaX]));
        qor::SetLabelText(ui->Label21, general(s[qor::SigmaY]));
        qor::SetLabelText(ui->Label22, general(s[qor::SigmaZ]));
        qor::SetLabelText(ui->Label30, general(s[qor::TauXY]));
        qor::SetLabelText(ui->Label31, general(s[qor::TauXZ]));
        qor::SetLabelText(ui->Label32, general(s[qor::TauYZ]));
        qor::SetLabelText(ui->Label23, general(s[qor::Reduced]));
      }
      break;
    case Nodes:
      if (qor::ShowNodeDetails(Labels(), store, i, general))
        qor::SetLabelText(ui->Label8, ResultsCurrent() ? qor::DisplacementText(store, i, general) : DashText);
      break;
    default:
      qor::ShowSupportDetails(Labels(), store, i);
      break;
  }
}
