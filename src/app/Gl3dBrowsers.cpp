// The two browser commands: each points its dialog at the model store and the
// user's decimal separator, and shows it modally; the dialog reads the store
// when it is shown.
#include "Daneobl.h"
#include "Gl3d.h"
#include "Globals.h"
#include "Wynobl.h"

void TGL::Daneobliczneniowe1Click() {
  DANEOB->SetSource(&Model, DecimalSeparator());
  prompts().ShowModal(*DANEOB);
}

void TGL::Wynikioblicze1Click() {
  WYNOB->SetSource(&Model, DecimalSeparator());
  prompts().ShowModal(*WYNOB);
}
