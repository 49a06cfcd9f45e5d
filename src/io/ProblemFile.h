#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "io/GmshMesh.h"
#include "io/IoResult.h"
#include "solid/SolidModel.h"

namespace qor {

// A problem file: a mesh and what loads and holds it, by named group or by
// plane instead of node numbers. The first line is "QOR3DProblem"; then one
// statement a line, "#" starting a comment:
//   mesh FILE                                  a Gmsh, GiD or native mesh, relative to the problem file
//   material E=.. nu=.. [group=NAME]           the elements of a volume group, or every other element
//   support group=NAME|plane=x:X0 dirs=xyz [value=V]
//   force group=NAME|plane=x:X0 total=FX,FY,FZ
//   pressure group=NAME|plane=x:X0 p=P
// A group value may be written in double quotes when the name has blanks.

// Where a statement acts: a named group, or the plane `coordinate` of axis 1 (x), 2 (y) or 3 (z).
struct ProblemSelection {
  std::string group;
  int axis = 0;  // 0: by group (or, for a material, every element no other line names when group is empty)
  double coordinate = 0;
};

enum class ProblemVerb { Material, Support, Force, Pressure };

struct ProblemStatement {
  ProblemVerb verb = ProblemVerb::Material;
  int line = 0;
  ProblemSelection where;
  double E = 0, nu = 0;              // material
  std::array<bool, 3> directions{};  // support: x, y, z held
  double value = 0;                  // support: the prescribed displacement
  std::array<double, 3> total{};     // force
  double pressure = 0;               // pressure
};

struct Problem {
  std::string meshFile;
  int meshLine = 0;
  std::vector<ProblemStatement> statements;
};

/// True when the first line of the text, blanks aside, is "QOR3DProblem".
bool IsProblemText(std::string_view text);
/// The same for the first line of a named file; false when it cannot be read.
bool IsProblemFile(const std::string& path);

/// Reads the statements of a problem text. On any fault the result names the line ("wiersz N: ...").
IoResult ParseProblem(std::string_view text, Problem& problem);

/// The problem's model: the mesh's model with the materials, supports and loads of the statements.
/// `loads` receives the nodal loads in double precision, one per degree of freedom (entry 0 unused),
/// the mesh's own forces included; the model's Forces are these rounded once to float. On any
/// fault `model` and `loads` are untouched and the result names the line.
IoResult ApplyProblem(const Problem& problem, const MeshWithGroups& mesh, SolidModel& model,
                      std::vector<double>& loads);

/// A mesh by its content: a Gmsh file (first token "$MeshFormat"), a native model file (first token
/// "QOR3DAscii") or else a GiD mesh. GiD and native meshes carry no groups; a native one must fit the store.
IoResult ReadMeshFile(const std::string& path, MeshWithGroups& mesh);

/// A problem file read, its mesh read (relative to the problem file's folder) and applied.
IoResult ReadProblemFile(const std::string& path, SolidModel& model);

/// ReadProblemFile into the store, through the store's limit checks; on any fault the store and
/// `densities` are untouched.
IoResult OpenProblemFile(const std::string& path, ModelStore& store, DensityTable& densities);

}  // namespace qor
