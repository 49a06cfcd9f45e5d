#pragma once

#include <string>

#include "model/ModelStore.h"
#include "view/ViewState.h"

namespace qor {

/// s = 0.1 × extent / max |Displacements[d]|: the factor that draws the largest
/// displacement component as a tenth of the model's largest extent. 0 when no
/// node moved (or the displacements are not finite), so nothing is scaled up
/// from noise or overflow.
float DeformationScale(const ModelStore& store, float modelExtent);

/// nodes[n] = Nodes[n] + scale × (displacement of node n) for n = 1..NodeCount;
/// every other row is the store's own, so an element naming a row beyond
/// NodeCount reads the same point as in the undeformed picture.
void DisplaceNodes(const ModelStore& store, float scale, NodeTable& nodes);

/// "Przemieszczenia × S", S rounded to 3 significant digits and written with
/// the regional separator: 1234.5 gives "Przemieszczenia × 1230".
std::string DeformationCaption(float scale, char separator);

}  // namespace qor
