// File commands of the main window: the model file and the mesh import.
#include <array>
#include <exception>

#include "Gl3d.h"
#include "io/GidMesh.h"
#include "io/GmshMesh.h"
#include "io/ModelFile.h"

using namespace qor;

namespace {

// The road for meshes the window's store cannot take, after the store's own message.
constexpr const char* BatchHint = "Większe siatki oblicza program qor3d-batch.";

}  // namespace

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

void TGL::ImportGmsh1Click() {
  const std::optional<std::string> path = prompts().OpenFileName(ImportGmsh);
  if (!path) return;
  IoResult result;
  try {
    MeshWithGroups mesh;
    result = ReadGmshFile(*path, mesh);
    // Densities stay as the last model file left them, as after the GiD
    // import; the copy's own densities go to a scratch table.
    std::array<float, ElementCapacity + 1> densities = Densities;
    if (result.ok) {
      if (std::optional<UserMessage> refusal = CopyToStore(mesh.model, Model, densities)) {
        refusal->text += '\n';
        refusal->text += BatchHint;
        result = IoResult::Failure(*refusal);
      }
    }
  } catch (const std::exception&) {
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
