// The problem file as the batch reads it: the problem's text, its mesh by
// content, and the model they make, in the any-size model or in the store.

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "io/FileText.h"
#include "io/GidMesh.h"
#include "io/ModelFile.h"
#include "io/ProblemFile.h"

namespace qor {

namespace {

IoResult MeshLineFault(int line, const std::string& text) {
  return IoResult::Failure({"wiersz " + std::to_string(line) + ": " + text, "Zadanie", MessageStyle::Stop});
}

// The first token of a file, read from at most its first kilobyte.
std::string FirstToken(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char buffer[1024] = {};
  in.read(buffer, sizeof buffer);
  const std::string_view head(buffer, static_cast<std::size_t>(in.gcount()));
  TokenCursor cursor(head);
  return std::string(cursor.Next());
}

}  // namespace

IoResult ReadMeshFile(const std::string& path, MeshWithGroups& mesh) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return IoResult::Failure(FileReadFailedMessage());
  const std::string first = FirstToken(path);
  if (first == "$MeshFormat") return ReadGmshFile(path, mesh);
  if (first != "QOR3DAscii") return ReadGidFile(path, mesh);
  // A native model file of any size, with the nodes, elements, materials,
  // supports and forces it holds.
  SolidModel model;
  if (IoResult read = OpenSolidModelFile(path, model); !read.ok) return read;
  mesh.model = std::move(model);
  mesh.groups.clear();
  return IoResult::Success();
}

IoResult ReadProblemFile(const std::string& path, SolidModel& model) {
  const std::optional<std::string> text = ReadWholeFile(path);
  if (!text) return IoResult::Failure(FileReadFailedMessage());
  Problem problem;
  if (IoResult parsed = ParseProblem(*text, problem); !parsed.ok) return parsed;

  std::filesystem::path meshPath(problem.meshFile);
  if (meshPath.is_relative()) meshPath = std::filesystem::path(path).parent_path() / meshPath;
  std::error_code error;
  if (!std::filesystem::is_regular_file(meshPath, error))
    return MeshLineFault(problem.meshLine, "nie ma pliku siatki " + meshPath.string());
  MeshWithGroups mesh;
  if (IoResult read = ReadMeshFile(meshPath.string(), mesh); !read.ok) {
    std::string text = meshPath.string() + ": " + read.message.text;
    if (!read.message.detail.empty()) text += " " + read.message.detail;
    return MeshLineFault(problem.meshLine, text);
  }
  std::vector<double> loads;
  return ApplyProblem(problem, mesh, model, loads);
}

IoResult OpenProblemFile(const std::string& path, ModelStore& store, DensityTable& densities) {
  SolidModel model;
  if (IoResult read = ReadProblemFile(path, model); !read.ok) return read;
  if (const std::optional<UserMessage> refused = CopyToStore(model, store, densities)) {
    UserMessage message = *refused;
    message.detail = "Model zadania ma " + std::to_string(model.NodeCount()) + " węzłów, " +
                     std::to_string(model.ElementCount()) + " elementów i " + std::to_string(model.SupportCount()) +
                     " podpór.";
    return IoResult::Failure(message);
  }
  return IoResult::Success();
}

}  // namespace qor
