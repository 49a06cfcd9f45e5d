// File commands of the main window: the model file and the mesh import.
#include "Gl3d.h"

void TGL::Otwrz1Click() {}
void TGL::Zapisz1Click() {}
void TGL::Import1Click() {}
