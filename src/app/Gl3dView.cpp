// View commands of the main window: navigation, display switches and painting.
#include "Gl3d.h"
#include "platform/Canvas.h"
#include "ui_Gl3d.h"

using namespace qor;

void TGL::FormPaint(Canvas& canvas) {
  canvas.SetPenColour({255, 255, 255});
  canvas.SetPenWidth(1);
  canvas.SetFillColour({255, 255, 255});
  canvas.Rectangle(0, 0, canvas.ClientWidth(), canvas.ClientHeight() - canvas.ToolBarHeight());
}

void TGL::FormMouseMove(int, int, bool) {}
void TGL::FormKeyDown() {}
void TGL::ScrollBar1Change() {}
void TGL::ScrollBar2Change() {}
void TGL::ScrollBar3Change() {}
void TGL::Zprzodu1Click() {}
void TGL::BzgoryClick() {}
void TGL::BzlewaClick() {}
void TGL::BIzometriaClick() {}
void TGL::Powiksz1Click() {}
void TGL::Pomniejsz1Click() {}
void TGL::Zadeklarukskale1Click() {}
void TGL::BlewoClick() {}
void TGL::BprawoClick() {}
void TGL::BgoraClick() {}
void TGL::BdolClick() {}
void TGL::Hide1Click() {}
void TGL::UKRBClick() {}
void TGL::ADOKClick() {}
void TGL::Nr_ELEClick() {}
void TGL::Nr_wezClick() {}
void TGL::NHClick() {}
void TGL::NXClick() {}
void TGL::NYClick() {}
void TGL::NZClick() {}
void TGL::NXYClick() {}
void TGL::NYZClick() {}
void TGL::NXZClick() {}
void TGL::PrzemClick() {}
