// Computation commands of the main window: compute, statistics, densities.
#include <exception>

#include "Gl3d.h"
#include "Globals.h"
#include "Stat.h"
#include "analysis/ComputeCommand.h"
#include "ui_Gl3d.h"

void TGL::Oblicz2Click() {
  qor::ComputeOutcome outcome;
  try {
    outcome = qor::ComputeModel(Model, ui->Gsto1->isChecked());
  } catch (const std::exception&) {
    outcome = {qor::ComputationFailedMessage(), true, false};
  }
  if (outcome.attempted) Model.ResultsValid = outcome.succeeded ? 1 : 0;
  prompts().MessageBox(outcome.message);
  if (outcome.attempted) Repaint();
}

void TGL::Statystyka1Click() {
  St->Store = &Model;
  St->Separator = DecimalSeparator();
  prompts().ShowModal(*St);
}

void TGL::Gsto1Click() { ui->Gsto1->setChecked(!ui->Gsto1->isChecked()); }
