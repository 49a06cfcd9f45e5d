// File commands of the main window: the model file and the mesh import.
#include <exception>

#include "Gl3d.h"
#include "io/GidMesh.h"
#include "io/ModelFile.h"

using namespace qor;

void TGL::Otwrz1Click() {
  // The same settings as Save, in an open dialog: only an existing file can be read.
  if (const std::optional<std::string> path = prompts().OpenFileName(ZapiszD)) {
    IoResult result;
    try {
      result = OpenModelFile(*path, Model, Densities);
    } catch (const std::exception&) {
      result = IoResult::Failure(FileReadFailedMessage());
    }
    if (result.ok)
      ResetZoomPanAndFit(View);
    else
      prompts().MessageBox(result.message);
  }
  Repaint();
}

void TGL::Zapisz1Click() {
  const std::optional<std::string> path = prompts().SaveFileName(ZapiszD);
  if (!path) return;
  IoResult result;
  try {
    result = SaveModelFile(Model, *path);
  } catch (const std::exception&) {
    result = IoResult::Failure(FileWriteFailedMessage());
  }
  if (!result.ok) prompts().MessageBox(result.message);
}

void TGL::Import1Click() {
  const std::optional<std::string> path = prompts().OpenFileName(ImportGiD);
  if (!path) return;
  IoResult result;
  try {
    result = ImportGidFile(*path, Model);
  } catch (const std::exception&) {
    // An unexpected failure while reading, with the model still as it was:
    // the toolkit's plain message dialog.
    prompts().ShowMessage("Błąd odczytu");
    Repaint();
    return;
  }
  if (result.ok)
    ResetZoomPanAndFit(View);
  else
    prompts().MessageBox(result.message);
  Repaint();
}
