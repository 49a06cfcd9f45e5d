// The two browser commands: each only shows its dialog modally.
#include "Daneobl.h"
#include "Gl3d.h"
#include "Globals.h"
#include "Wynobl.h"

void TGL::Daneobliczneniowe1Click() { prompts().ShowModal(*DANEOB); }

void TGL::Wynikioblicze1Click() { prompts().ShowModal(*WYNOB); }
