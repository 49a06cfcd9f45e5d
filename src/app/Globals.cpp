#include "Globals.h"

#include "Daneobl.h"
#include "Dp1.h"
#include "Ds1.h"
#include "Gl3d.h"
#include "Mater.h"
#include "Prostop1.h"
#include "Prostop2.h"
#include "Prostop3.h"
#include "Stat.h"
#include "Wynobl.h"

TGL* GL = nullptr;
TProst3* Prost3 = nullptr;
TMaterial* Material = nullptr;
TSt* St = nullptr;
TP1* P1 = nullptr;
TWYNOB* WYNOB = nullptr;
TS1* S1 = nullptr;
TDANEOB* DANEOB = nullptr;
TProst2* Prost2 = nullptr;
TProst1* Prost1 = nullptr;

void CreateWindows() {
  GL = new TGL;
  // The dialogs are owned by the main window, so they stay on top of it and
  // are centred over it.
  Prost3 = new TProst3(GL);
  Material = new TMaterial(GL);
  St = new TSt(GL);
  P1 = new TP1(GL);
  WYNOB = new TWYNOB(GL);
  S1 = new TS1(GL);
  DANEOB = new TDANEOB(GL);
  Prost2 = new TProst2(GL);
  Prost1 = new TProst1(GL);
}

void DestroyWindows() {
  delete Prost1;
  delete Prost2;
  delete DANEOB;
  delete S1;
  delete WYNOB;
  delete P1;
  delete St;
  delete Material;
  delete Prost3;
  delete GL;
  GL = nullptr;
  Prost3 = nullptr;
  Material = nullptr;
  St = nullptr;
  P1 = nullptr;
  WYNOB = nullptr;
  S1 = nullptr;
  DANEOB = nullptr;
  Prost2 = nullptr;
  Prost1 = nullptr;
}
