// Opens a model file in the main window, computes it through "&Oblicz" and
// prints what the results browser shows for every element and node, beside the
// bits of the stored floats, so that a script can compare the batch command's
// files with the window. Usage: window_results MODEL.q3d [--densities]
//
// Lines, fields separated by tabs:
//   message  <text of each message box> <its informative text>
//   element  <e>  <browser: σx σy σz τyz τxz τxy reduced>  <the same seven as hex bits>
//   node     <n>  <browser: "ux , uy , uz">  <ux uy uz as hex bits>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Gl3d.h"
#include "Globals.h"
#include "Wynobl.h"
#include "support/ScriptedPrompts.h"
#include "ui_Gl3d.h"
#include "ui_Wynobl.h"

namespace {

std::string Bits(float value) {
  char text[16];
  std::snprintf(text, sizeof text, "%08x", std::bit_cast<std::uint32_t>(value));
  return text;
}

std::string Text(const QLabel* label) { return label->text().toStdString(); }

void PrintResults(TWYNOB& browser, const qor::ModelStore& model) {
  const auto& ui = *browser.ui;
  for (int e = 1; e <= model.ElementCount; ++e) {
    ui.Lista->setCurrentRow(e - 1);
    std::printf("element\t%d", e);
    for (const QLabel* label : {ui.Label20, ui.Label21, ui.Label22, ui.Label32, ui.Label31, ui.Label30, ui.Label23})
      std::printf("\t%s", Text(label).c_str());
    for (int k = 1; k <= 7; ++k) std::printf("\t%s", Bits(model.Stresses[e][k]).c_str());
    std::printf("\n");
  }
  browser.Button2Click();
  for (int n = 1; n <= model.NodeCount; ++n) {
    ui.Lista->setCurrentRow(n - 1);
    std::printf("node\t%d\t%s", n, Text(ui.Label8).c_str());
    for (int c = 1; c <= 3; ++c) std::printf("\t%s", Bits(model.Displacements[qor::DofOf(n, c)]).c_str());
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  if (argc < 2) return 1;
  CreateWindows();
  qor::ScriptedPrompts prompts;
  GL->SetPrompts(&prompts);
  prompts.AnswerOpen(argv[1]);
  GL->ui->Otwrz1->trigger();
  if (argc > 2 && std::string(argv[2]) == "--densities") GL->ui->Gsto1->trigger();
  GL->ui->Oblicz2->trigger();
  prompts.OnForm([](qor::ModalForm& form) {
    PrintResults(dynamic_cast<TWYNOB&>(form), GL->Model);
    return qor::mrOk;
  });
  GL->ui->Wynikioblicze1->trigger();
  for (const qor::UserMessage& message : prompts.messages)
    std::printf("message\t%s\t%s\n", message.text.c_str(), message.detail.c_str());
  DestroyWindows();
  return 0;
}
