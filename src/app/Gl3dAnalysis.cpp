// Computation commands of the main window: compute, statistics, densities.
#include "Gl3d.h"
#include "Globals.h"
#include "Stat.h"
#include "analysis/ComputeCommand.h"
#include "ui_Gl3d.h"

void TGL::Oblicz2Click() {
  const qor::ComputeOutcome outcome = qor::RunComputeCommand(Model, ui->Gsto1->isChecked());
  prompts().MessageBox(outcome.message);
  if (outcome.attempted) Repaint();
}

void TGL::Statystyka1Click() {
  St->Store = &Model;
  St->Separator = DecimalSeparator();
  prompts().ShowModal(*St);
}

void TGL::Gsto1Click() { ui->Gsto1->setChecked(!ui->Gsto1->isChecked()); }
