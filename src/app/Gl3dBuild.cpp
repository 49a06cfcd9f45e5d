// Model-building commands of the main window: the menus "&Dodaj" and "&Usuń".
// Each handler checks the limits, asks through the Prompts port, runs one
// function of the build subsystem and shows what that function reports.
#include <string>

#include "Dp1.h"
#include "Ds1.h"
#include "Element.h"
#include "Gl3d.h"
#include "Globals.h"
#include "Mater.h"
#include "Prostop1.h"
#include "Prostop2.h"
#include "Prostop3.h"
#include "Wezel.h"
#include "build/Deletion.h"
#include "build/Generators.h"
#include "build/Loads.h"
#include "build/NodeElementInput.h"
#include "build/NodeMerging.h"

using namespace qor;

namespace {

// Shows a build dialog modally with its messages going to the window's Prompts.
bool Confirmed(TGL& gl, BuildDialog& dialog) {
  dialog.SetPrompts(&gl.prompts());
  return gl.prompts().ShowModal(dialog) == mrOk;
}

void Report(TGL& gl, const CommandOutcome& outcome) {
  if (outcome.message) {
    if (outcome.plainMessage)
      gl.prompts().ShowMessage(outcome.message->text);
    else
      gl.prompts().MessageBox(*outcome.message);
  }
  if (outcome.repaint) gl.Repaint();
}

// Asks for the number of the item to delete, the current count offered.
std::optional<std::string> AskNumber(TGL& gl, const DeletionQuery& query, std::int32_t count) {
  return gl.prompts().InputQuery(query.caption, query.prompt, std::to_string(count));
}

}  // namespace

void TGL::Wzel1Click() {
  if (LimitReached(LimitNodes, Model.NodeCount + 1)) return prompts().MessageBox(LimitMessage(LimitNodes));
  if (!Confirmed(*this, *Wezel)) return;
  AddTypedNode(Model, Wezel->X, Wezel->Y, Wezel->Z);
  Repaint();
}

void TGL::Element2Click() {
  if (LimitReached(LimitElements, Model.ElementCount + 1)) return prompts().MessageBox(LimitMessage(LimitElements));
  // The dialog refuses what the model cannot take and stays open to be corrected.
  Elem->Store = &Model;
  if (!Confirmed(*this, *Elem)) return;
  Report(*this, AddTypedElement(Model, Elem->Input));
}

void TGL::d_matClick() {
  if (LimitReached(LimitMaterials, Model.MaterialCount + 1)) return prompts().MessageBox(LimitMessage(LimitMaterials));
  Material->MaterialNumber = Model.MaterialCount + 1;
  if (!Confirmed(*this, *Material)) return;
  AddMaterial(Model, Material->E, Material->nu);
}

void TGL::d_sileClick() {
  if (!Confirmed(*this, *S1)) return;
  Report(*this, ApplyForces(Model, *S1));
}

void TGL::d_podpClick() {
  if (LimitReached(LimitSupports, Model.SupportCount + 3)) return prompts().MessageBox(LimitMessage(LimitSupports));
  if (!Confirmed(*this, *P1)) return;
  Report(*this, AddSupports(Model, *P1));
}

void TGL::d_prostopClick() {
  if (!HexBlocksFit(Model, 1)) return prompts().MessageBox(ElementLimitMessage());
  if (!Confirmed(*this, *Prost2)) return;
  Report(*this, AppendCuboid(Model, *Prost2));
}

void TGL::d_szescClick() {
  if (!HexBlocksFit(Model, 1)) return prompts().MessageBox(ElementLimitMessage());
  if (!Confirmed(*this, *Prost1)) return;
  Report(*this, AppendHexahedron(Model, *Prost1));
}

void TGL::d_prostdClick() {
  // The divisions decide the size, so the limits are checked after the dialog.
  if (!Confirmed(*this, *Prost3)) return;
  Report(*this, AppendDividedCuboid(Model, *Prost3));
}

void TGL::Wze1Click() {
  if (Model.NodeCount <= 0) return;
  if (const auto answer = AskNumber(*this, NodeDeletionQuery, Model.NodeCount))
    Report(*this, DeleteNode(Model, *answer));
}

void TGL::Element1Click() {
  if (Model.ElementCount <= 0) return;
  if (const auto answer = AskNumber(*this, ElementDeletionQuery, Model.ElementCount))
    Report(*this, DeleteElement(Model, *answer));
}

void TGL::Si1Click() {
  if (Model.NodeCount <= 0) return;
  if (const auto answer = AskNumber(*this, ForceDeletionQuery, Model.NodeCount))
    Report(*this, DeleteForce(Model, *answer));
}

void TGL::Podpor1Click() {
  if (Model.NodeCount <= 0) return;
  if (const auto answer = AskNumber(*this, SupportDeletionQuery, Model.NodeCount))
    Report(*this, DeleteSupports(Model, *answer));
}

void TGL::Podwjnewzy1Click() { Report(*this, RemoveDuplicateNodes(Model)); }

void TGL::Wolnewzy1Click() { Report(*this, RemoveFreeNodes(Model)); }
