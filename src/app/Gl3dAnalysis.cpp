// Computation commands of the main window: compute, statistics, densities.
#include "Gl3d.h"

void TGL::Oblicz2Click() {}
void TGL::Statystyka1Click() {}
void TGL::Gsto1Click() {}
