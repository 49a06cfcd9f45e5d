#pragma once

#include <QFont>

namespace qor {

// The program's font: 8 points in the system's sans-serif family. The main
// window, its view texts and every dialog and message box use it.
QFont ProgramFont();

// Application-wide settings made once, before any window exists: the name
// "QOR 3D" and the program's font. No display name is set: the window system
// would append it to every caption (" — QOR 3D"), and captions are shown as
// written.
void ConfigureApplication();

}  // namespace qor
