// View commands of the main window: navigation, display switches and painting.
#include <QAction>
#include <QButtonGroup>
#include <cmath>

#include "Gl3d.h"
#include "platform/Canvas.h"
#include "platform/NumberText.h"
#include "ui_Gl3d.h"
#include "view/Paint.h"

using namespace qor;

void TGL::FormPaint(Canvas& canvas) {
  SetViewAngles(View, ui->ScrollBar1->value(), ui->ScrollBar2->value(), ui->ScrollBar3->value());
  DisplaySwitches switches;
  switches.HiddenLines = ui->Hide1->isChecked();
  switches.ExactFaces = ui->ADOK->isChecked();
  switches.ElementNumbers = ui->Nr_ELE->isChecked();
  switches.NodeNumbers = ui->Nr_wez->isChecked();
  for (QAction* item : {ui->NH, ui->NX, ui->NY, ui->NZ, ui->NXY, ui->NYZ, ui->NXZ})
    switches.StressMap = switches.StressMap || item->isChecked();
  const PaintOutcome outcome = PaintModel(canvas, Model, View, switches, DecimalSeparator(), &prompts());
  // Too large for the exact order: later paints use the depth order directly.
  if (outcome.ExactFacesTurnedOff) ui->ADOK->setChecked(false);
}

void TGL::FormMouseMove(int x, int y, bool shift) {
  if (!shift) {
    View.DragActive = false;
    return;
  }
  if (!View.DragActive) {
    View.DragActive = true;
    View.LastMouseX = x;
    View.LastMouseY = y;
    return;
  }
  // One degree per pixel with the small change of 5000; past either end of the
  // range the position jumps to the other end rather than carrying over.
  auto turned = [](QScrollBar* bar, int moved) {
    int position = bar->singleStep() * moved / 50 + bar->value();
    if (position < 0) position = 36000;
    if (position > 36000) position = 0;
    return position;
  };
  const int p1 = turned(ui->ScrollBar1, x - View.LastMouseX);
  ui->ScrollBar1->setValue(p1);
  const int p2 = turned(ui->ScrollBar2, y - View.LastMouseY);
  ui->ScrollBar2->setValue(p2);
  View.LastMouseX = x;
  View.LastMouseY = y;
}

void TGL::FormKeyDown() {}

// Any change of an angle leaves the standard views: the isometric button
// stands for "free rotation" as well.
void TGL::ScrollBar1Change() {
  ui->BIzometria->setChecked(true);
  Repaint();
}
void TGL::ScrollBar2Change() {
  ui->BIzometria->setChecked(true);
  Repaint();
}
void TGL::ScrollBar3Change() {
  ui->BIzometria->setChecked(true);
  Repaint();
}

namespace {
// Sets the three angles (the bars' change handlers press the isometric button
// on the way) and then presses the view's own button.
void ShowStandardView(Ui::TGL& ui, QToolButton* button, int p1, int p2, int p3) {
  ui.ScrollBar1->setValue(p1);
  ui.ScrollBar2->setValue(p2);
  ui.ScrollBar3->setValue(p3);
  button->setChecked(true);
}
}  // namespace

void TGL::Zprzodu1Click() {
  ShowStandardView(*ui, ui->Bzprzodu, 27000, 0, 0);
  Repaint();
}
void TGL::BzgoryClick() {
  ShowStandardView(*ui, ui->Bzgory, 0, 0, 0);
  Repaint();
}
void TGL::BzlewaClick() {
  ShowStandardView(*ui, ui->Bzlewa, 0, 0, 27000);
  Repaint();
}
void TGL::BIzometriaClick() {
  ShowStandardView(*ui, ui->BIzometria, 4500, 31500, 0);
  Repaint();
}

// The zoom and the declared scale scale the picture fitted to the window; the
// pan is reset by the fit of every paint, and its buttons stay hidden.
void TGL::Powiksz1Click() {
  View.ZoomFactor *= 2;
  Repaint();
}
void TGL::Pomniejsz1Click() {
  View.ZoomFactor *= 0.5f;
  if (!(View.ZoomFactor > 0)) View.ZoomFactor = 1.0f;
  Repaint();
}
void TGL::Zadeklarukskale1Click() {
  const char separator = DecimalSeparator();
  const std::optional<std::string> text =
      prompts().InputQuery("Deklaracja skali", "Podaj skalę : ", FormatShortestFloat(View.ZoomFactor, separator));
  if (!text) return;
  // A scale of zero or below would collapse or mirror the picture: kept out
  // like a text that is not a number.
  const std::optional<float> scale = ParseFloat(*text, separator);
  if (scale && *scale > 0 && std::isfinite(*scale)) View.ZoomFactor = *scale;
  Repaint();
}
void TGL::BlewoClick() {
  View.PanX -= 10;
  Repaint();
}
void TGL::BprawoClick() {
  View.PanX += 10;
  Repaint();
}
void TGL::BgoraClick() {
  View.PanY -= 10;
  Repaint();
}
void TGL::BdolClick() {
  View.PanY += 10;
  Repaint();
}

void TGL::Hide1Click() {
  ui->Hide1->setChecked(!ui->Hide1->isChecked());
  ui->UKRB->setChecked(ui->Hide1->isChecked());
  Repaint();
}
void TGL::UKRBClick() {
  ui->Hide1->setChecked(ui->UKRB->isChecked());
  Repaint();
}
void TGL::ADOKClick() {
  ui->ADOK->setChecked(!ui->ADOK->isChecked());
  Repaint();
}
void TGL::Nr_ELEClick() {
  ui->Nr_ELE->setChecked(!ui->Nr_ELE->isChecked());
  Repaint();
}
void TGL::Nr_wezClick() {
  ui->Nr_wez->setChecked(!ui->Nr_wez->isChecked());
  Repaint();
}

namespace {
// One stress item: its kind becomes the one shown, its check mark flips and
// the other six lose theirs, so at most one item is ever checked.
void ChooseStress(Ui::TGL& ui, ViewState& view, QAction* item, int kind) {
  view.StressComponent = kind;
  item->setChecked(!item->isChecked());
  for (QAction* other : {ui.NH, ui.NX, ui.NY, ui.NZ, ui.NXY, ui.NYZ, ui.NXZ})
    if (other != item) other->setChecked(false);
}
}  // namespace

void TGL::NHClick() {
  ChooseStress(*ui, View, ui->NH, Reduced);
  Repaint();
}
void TGL::NXClick() {
  ChooseStress(*ui, View, ui->NX, SigmaX);
  Repaint();
}
void TGL::NYClick() {
  ChooseStress(*ui, View, ui->NY, SigmaY);
  Repaint();
}
void TGL::NZClick() {
  ChooseStress(*ui, View, ui->NZ, SigmaZ);
  Repaint();
}
void TGL::NXYClick() {
  ChooseStress(*ui, View, ui->NXY, TauXY);
  Repaint();
}
void TGL::NYZClick() {
  ChooseStress(*ui, View, ui->NYZ, TauYZ);
  Repaint();
}
void TGL::NXZClick() {
  ChooseStress(*ui, View, ui->NXZ, TauXZ);
  Repaint();
}

// The displacement item only carries its check mark; nothing draws it.
void TGL::PrzemClick() { ui->Przem->setChecked(!ui->Przem->isChecked()); }
