// Model-building commands of the main window: the menus "&Dodaj" and "&Usuń".
#include "Gl3d.h"

void TGL::d_matClick() {}
void TGL::d_sileClick() {}
void TGL::d_podpClick() {}
void TGL::d_prostopClick() {}
void TGL::d_szescClick() {}
void TGL::d_prostdClick() {}
void TGL::Wze1Click() {}
void TGL::Element1Click() {}
void TGL::Si1Click() {}
void TGL::Podpor1Click() {}
void TGL::Podwjnewzy1Click() {}
void TGL::Wolnewzy1Click() {}
