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
  switches.MaterialNumbers = ui->Numerymateriaw1->isChecked();
  switches.Displacements = ui->Przem->isChecked();
  for (QAction* item : {ui->NH, ui->NX, ui->NY, ui->NZ, ui->NXY, ui->NYZ, ui->NXZ})
    switches.StressMap = switches.StressMap || item->isChecked();
  const PaintOutcome outcome = PaintModel(canvas, Model, View, switches, DecimalSeparator(), &prompts());
  // Too large for the exact order: later paints use the depth order directly.
  if (outcome.ExactFacesTurnedOff) ui->ADOK->setChecked(false);
}

// A left or middle button press starts a drag at once, so the first move
// already turns or pans.
void TGL::FormMouseDown(int x, int y, bool left, bool middle) {
  if (!left && !middle) return;
  View.DragActive = true;
  View.LastMouseX = x;
  View.LastMouseY = y;
}

void TGL::FormMouseMove(int x, int y, bool shift, bool left, bool middle) {
  if (middle) {
    if (View.DragActive) {
      View.PanX += static_cast<float>(x - View.LastMouseX);
      View.PanY += static_cast<float>(y - View.LastMouseY);
      Repaint();
    }
    View.DragActive = true;
    View.LastMouseX = x;
    View.LastMouseY = y;
    return;
  }
  // Shift held or the left button down turns the view by the same rule.
  if (!shift && !left) {
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

// One notch of the wheel (120) zooms by 1.25 about the pointer, forwards in.
void TGL::FormMouseWheel(int x, int y, int delta) {
  if (delta == 0) return;
  const float factor = static_cast<float>(std::pow(1.25, delta / 120.0));
  // Kept between 1/1000 and a million times the fitted picture: beyond, the
  // model shrinks to a dot or a pixel of it outgrows the window.
  const float zoom = View.ZoomFactor * factor;
  if (!(zoom >= 1e-3f && zoom <= 1e6f)) return;
  ZoomAbout(View, factor, static_cast<float>(x), static_cast<float>(y), ui->ClientArea->width(),
            ui->ClientArea->height(), ToolBarHeight());
  Repaint();
}

// The whole model fitted to the window again: no zoom, no pan.
void TGL::FitAll() {
  View.ZoomFactor = 1.0f;
  View.PanX = 0;
  View.PanY = 0;
  Repaint();
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

// The zoom commands scale the picture fitted to the window about the middle
// of the area it fills, pan included; the pan buttons stay hidden.
namespace {
void ZoomAboutMiddle(TGL& window, float factor) {
  const int width = window.ui->ClientArea->width(), height = window.ui->ClientArea->height();
  const ScreenPoint middle = FitCentre(width, height, window.ToolBarHeight());
  ZoomAbout(window.View, factor, middle.x, middle.y, width, height, window.ToolBarHeight());
}
}  // namespace

void TGL::Powiksz1Click() {
  ZoomAboutMiddle(*this, 2);
  Repaint();
}
void TGL::Pomniejsz1Click() {
  if (View.ZoomFactor * 0.5f > 0)
    ZoomAboutMiddle(*this, 0.5f);
  else
    View.ZoomFactor = 1.0f;
  Repaint();
}
void TGL::Zadeklarukskale1Click() {
  const char separator = DecimalSeparator();
  const std::optional<std::string> text =
      prompts().InputQuery("Deklaracja skali", "Podaj skalę : ", FormatShortestFloat(View.ZoomFactor, separator));
  if (!text) return;
  // A scale of zero or below would collapse or mirror the picture: kept out
  // like a text that is not a number.
  // A declared scale is one of the picture fitted and centred in the window,
  // so it also takes back a pan: the scale 1 shows the whole model.
  const std::optional<float> scale = ParseFloat(*text, separator);
  if (scale && *scale > 0 && std::isfinite(*scale)) {
    View.ZoomFactor = *scale;
    View.PanX = 0;
    View.PanY = 0;
  }
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

namespace {
void Toggle(QAction* item) { item->setChecked(!item->isChecked()); }
}  // namespace

void TGL::ADOKClick() {
  Toggle(ui->ADOK);
  Repaint();
}
void TGL::Nr_ELEClick() {
  Toggle(ui->Nr_ELE);
  Repaint();
}
void TGL::Nr_wezClick() {
  Toggle(ui->Nr_wez);
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

// With valid results the picture shows the deformed shape while it is checked.
void TGL::PrzemClick() {
  Toggle(ui->Przem);
  Repaint();
}
void TGL::Numerymateriaw1Click() {
  Toggle(ui->Numerymateriaw1);
  Repaint();
}
