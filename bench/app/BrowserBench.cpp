// The two browsers on a model at capacity: showing the dialog (FormShow) and
// switching through every list mode, with a line selected in each.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListWidget>

#include "Daneobl.h"
#include "Gl3d.h"
#include "Globals.h"
#include "Wynobl.h"
#include "ui_Daneobl.h"
#include "ui_Wynobl.h"

namespace {

// 1997 elements, 997 nodes, 7 materials, 497 supports, a force on every
// degree of freedom the force table holds, and non-zero results.
void FillFullModel(qor::ModelStore& m) {
  m.NodeCount = 997;
  for (int n = 1; n <= m.NodeCount; ++n) m.Nodes[n] = {0.1f * n, 1.0f / n, -3.25f * n};
  m.ElementCount = 1997;
  for (int e = 1; e <= m.ElementCount; ++e) {
    for (int k = 1; k <= 4; ++k) m.Elements[e].node[k] = (e + 97 * k) % m.NodeCount + 1;
    m.Elements[e].material = e % 7 + 1;
    for (int s = 1; s <= 7; ++s) m.Stresses[e][s] = 1234.5678f * s / e;
  }
  m.MaterialCount = 7;
  for (int i = 1; i <= 7; ++i) m.Materials[i] = {200000.0f * i, 0.3f};
  m.SupportCount = 497;
  for (int j = 1; j <= m.SupportCount; ++j) m.Supports[j] = {2 * j - 1, 0};
  for (int d = 1; d <= qor::DofCapacity; ++d) {
    m.Forces[d] = 0.5f * d;
    m.Displacements[d] = 0.0000123f * d;
  }
  m.DofCount = 3 * 665;
  m.ResultsValid = 1;
}

class Windows {
 public:
  Windows() {
    CreateWindows();
    FillFullModel(GL->Model);
    DANEOB->SetSource(&GL->Model, '.');
    WYNOB->SetSource(&GL->Model, '.');
  }
  ~Windows() { DestroyWindows(); }
};

void Select(QListWidget* list, int row) {
  list->setCurrentRow(row);
  QApplication::processEvents();
}

// FormShow, then every other mode and back, a line selected in each; the
// dialog is on screen so the list is laid out and painted as for a user.
void BM_DataBrowserEveryMode(benchmark::State& state) {
  Windows windows;
  DANEOB->show();
  auto* ui = DANEOB->ui;
  for (auto _ : state) {
    DANEOB->FormShow();
    Select(ui->Lista, 1000);
    for (auto* button : {ui->Button2, ui->Button3, ui->Button4, ui->Button6}) {
      button->click();
      Select(ui->Lista, ui->Lista->count() / 2);
    }
  }
  DANEOB->hide();
}
BENCHMARK(BM_DataBrowserEveryMode)->Unit(benchmark::kMillisecond);

void BM_ResultsBrowserEveryMode(benchmark::State& state) {
  Windows windows;
  WYNOB->show();
  auto* ui = WYNOB->ui;
  for (auto _ : state) {
    WYNOB->FormShow();
    Select(ui->Lista, 1000);
    for (auto* button : {ui->Button2, ui->Button4}) {
      button->click();
      Select(ui->Lista, ui->Lista->count() / 2);
    }
  }
  WYNOB->hide();
}
BENCHMARK(BM_ResultsBrowserEveryMode)->Unit(benchmark::kMillisecond);

// FormShow alone: the element list of 1997 lines.
void BM_DataBrowserFormShow(benchmark::State& state) {
  Windows windows;
  DANEOB->show();
  for (auto _ : state) {
    DANEOB->FormShow();
    QApplication::processEvents();
  }
  DANEOB->hide();
}
BENCHMARK(BM_DataBrowserFormShow)->Unit(benchmark::kMillisecond);

void BM_ResultsBrowserFormShow(benchmark::State& state) {
  Windows windows;
  WYNOB->show();
  for (auto _ : state) {
    WYNOB->FormShow();
    QApplication::processEvents();
  }
  WYNOB->hide();
}
BENCHMARK(BM_ResultsBrowserFormShow)->Unit(benchmark::kMillisecond);

}  // namespace
