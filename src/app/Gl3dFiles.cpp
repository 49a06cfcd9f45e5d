// File commands of the main window: the model file, the mesh import, the
// result exports, the picture of the view and the question before work is lost.
#include <QBuffer>
#include <QImage>
#include <array>
#include <cstring>
#include <exception>
#include <filesystem>
#include <functional>

#include "Gl3d.h"
#include "io/FileText.h"
#include "io/GidMesh.h"
#include "io/GmshMesh.h"
#include "io/ModelFile.h"
#include "io/ResultsExport.h"
#include "ui_Gl3d.h"

using namespace qor;

namespace {

// The road for meshes the window's store cannot take, after the store's own message.
constexpr const char* BatchHint = "Większe siatki oblicza program qor3d-batch.";

template <class Table>
bool SameRows(const Table& a, const Table& b, std::int32_t count) {
  return count <= 0 || std::memcmp(&a[1], &b[1], sizeof(a[1]) * static_cast<std::size_t>(count)) == 0;
}

// True when both hold the same nodes, elements, materials, supports and
// forces. Results are not compared: computing changes no work of the user.
bool SameModelData(const ModelStore& a, const ModelStore& b) {
  return a.NodeCount == b.NodeCount && a.ElementCount == b.ElementCount && a.MaterialCount == b.MaterialCount &&
         a.SupportCount == b.SupportCount && SameRows(a.Nodes, b.Nodes, a.NodeCount) &&
         SameRows(a.Elements, b.Elements, a.ElementCount) && SameRows(a.Materials, b.Materials, a.MaterialCount) &&
         SameRows(a.Supports, b.Supports, a.SupportCount) && SameRows(a.Forces, b.Forces, 3 * a.NodeCount);
}

// An export without results to write, captioned as the export's dialog.
UserMessage NoResultsMessage(const FileDialogSettings& dialog) {
  return {"Brak aktualnych wyników obliczeń. Najpierw oblicz model poleceniem \"Oblicz\".", dialog.title,
          MessageStyle::Exclamation};
}

// `path` with its extension replaced by `extension` (with the dot); empty
// when there is no path, so the dialog offers nothing.
std::string WithExtension(const std::string& path, const char* extension) {
  if (path.empty()) return {};
  return std::filesystem::path(path).replace_extension(extension).string();
}

// The two table names of the CSV export chosen as `path`: NAME_wezly.csv and
// NAME_elementy.csv beside it, whatever extension the chosen name has.
std::pair<std::string, std::string> CsvPaths(const std::string& path) {
  std::filesystem::path stem(path);
  if (stem.extension() == ".csv" || stem.extension() == ".CSV") stem.replace_extension();
  return {stem.string() + "_wezly.csv", stem.string() + "_elementy.csv"};
}

}  // namespace

void TGL::MarkModelUnchanged() { *unchangedModel_ = Model; }

bool TGL::MayDiscardModel() {
  if (SameModelData(Model, *unchangedModel_)) return true;
  switch (prompts().AskYesNoCancel({"Model został zmieniony. Czy zapisać zmiany?", "QOR 3D", MessageStyle::Plain})) {
    case Answer::Yes:
      return SaveModel();
    case Answer::No:
      return true;
    case Answer::Cancel:
      break;
  }
  return false;
}

void TGL::Otwrz1Click() {
  if (!MayDiscardModel()) return;
  // The same settings as Save, in an open dialog: only an existing file can be read.
  if (const std::optional<std::string> path = prompts().OpenFileName(ZapiszD)) {
    IoResult result;
    try {
      result = OpenModelFile(*path, Model, Densities);
    } catch (const std::exception&) {
      result = IoResult::Failure(FileReadFailedMessage());
    }
    if (result.ok) {
      ResetZoomPanAndFit(View);
      MarkModelUnchanged();
      ZapiszD.initialPath = *path;
    } else {
      prompts().MessageBox(result.message);
    }
  }
  Repaint();
}

bool TGL::SaveModel() {
  const std::optional<std::string> path = prompts().SaveFileName(ZapiszD);
  if (!path) return false;
  IoResult result;
  try {
    result = SaveModelFile(Model, *path);
  } catch (const std::exception&) {
    result = IoResult::Failure(FileWriteFailedMessage());
  }
  if (!result.ok) {
    prompts().MessageBox(result.message);
    return false;
  }
  MarkModelUnchanged();
  ZapiszD.initialPath = *path;
  return true;
}

void TGL::Zapisz1Click() { SaveModel(); }

void TGL::ImportMesh(const FileDialogSettings& dialog, const std::function<IoResult(const std::string&)>& read) {
  if (!MayDiscardModel()) return;
  const std::optional<std::string> path = prompts().OpenFileName(dialog);
  if (!path) return;
  IoResult result;
  try {
    result = read(*path);
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

void TGL::Import1Click() {
  ImportMesh(ImportGiD, [this](const std::string& path) { return ImportGidFile(path, Model); });
}

void TGL::ImportGmsh1Click() {
  ImportMesh(ImportGmsh, [this](const std::string& path) {
    MeshWithGroups mesh;
    IoResult result = ReadGmshFile(path, mesh);
    if (!result.ok) return result;
    // Densities stay as the last model file left them, as after the GiD
    // import; the copy's own densities go to a scratch table.
    std::array<float, ElementCapacity + 1> densities = Densities;
    if (std::optional<UserMessage> refusal = CopyToStore(mesh.model, Model, densities)) {
      refusal->text += '\n';
      refusal->text += BatchHint;
      return IoResult::Failure(*refusal);
    }
    return IoResult::Success();
  });
}

void TGL::EksportVtk1Click() {
  if (Model.ResultsValid != 1) return prompts().MessageBox(NoResultsMessage(EksportVtkD));
  EksportVtkD.initialPath = WithExtension(ZapiszD.initialPath, ".vtu");
  const std::optional<std::string> path = prompts().SaveFileName(EksportVtkD);
  if (!path) return;
  const IoResult result = WriteExportFile(*path, ResultsVtuText(Model));
  if (!result.ok) prompts().MessageBox(result.message);
}

void TGL::EksportCsv1Click() {
  if (Model.ResultsValid != 1) return prompts().MessageBox(NoResultsMessage(EksportCsvD));
  EksportCsvD.initialPath = WithExtension(ZapiszD.initialPath, ".csv");
  const std::optional<std::string> path = prompts().SaveFileName(EksportCsvD);
  if (!path) return;
  const auto [nodes, elements] = CsvPaths(*path);
  IoResult result = WriteExportFile(nodes, NodeResultsCsvText(Model));
  if (result.ok) result = WriteExportFile(elements, ElementResultsCsvText(Model));
  if (!result.ok) prompts().MessageBox(result.message);
}

QImage TGL::ViewPicture() {
  // Drawn exactly as the paint event draws the client area.
  const qreal ratio = ui->ClientArea->devicePixelRatioF();
  QImage picture(ui->ClientArea->size() * ratio, QImage::Format_RGB32);
  picture.setDevicePixelRatio(ratio);
  DrawPicture(picture);
  return picture;
}

void TGL::ZapiszObraz1Click() {
  const std::optional<std::string> path = prompts().SaveFileName(ObrazD);
  if (!path) return;
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  const bool encoded = ViewPicture().save(&buffer, "PNG");
  // Through a temporary file renamed over the target, as the model file.
  if (!encoded || !WriteFileAtomically(*path, std::string_view(png.constData(), static_cast<std::size_t>(png.size()))))
    prompts().MessageBox(FileWriteFailedMessage());
}
