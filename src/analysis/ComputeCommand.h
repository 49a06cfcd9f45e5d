#pragma once

#include <optional>
#include <string>

#include "model/ModelStore.h"
#include "platform/UserMessage.h"

namespace qor {

struct SolverWorkspace;

/// True when any count of the store is at or above its LimitReached limit.
bool ModelTooLarge(const ModelStore& store);

// What the compute command did: the message to show, whether the model passed
// the checks and went to the solver (the window is then repainted), and
// whether the results were computed and copied back.
struct ComputeOutcome {
  UserMessage message;
  bool attempted = false;
  bool succeeded = false;
};

/// The refusal of a model without elements, materials or supports, in that order; nothing when it has all three.
std::optional<UserMessage> MissingModelData(std::int32_t elements, std::int32_t materials, std::int32_t supports);

/// The checks of the compute command, in order; the message of the first that fails.
std::optional<UserMessage> CheckComputable(const ModelStore& store);

/// Copies the model into `ws` (density factors from Densities when useDensities, else 1).
void FillWorkspace(const ModelStore& store, bool useDensities, SolverWorkspace& ws);

/// Copies displacements and stresses back, values below 1e-8 in magnitude as 0,
/// the reduced stress recomputed from the stored components.
void CopyResults(const SolverWorkspace& ws, ModelStore& store);

/// The whole compute command on `ws`: checks, fill, SolveModel, copy back. It
/// does not touch ResultsValid: the caller sets it from the outcome.
ComputeOutcome ComputeModel(ModelStore& store, bool useDensities, SolverWorkspace& ws);
ComputeOutcome ComputeModel(ModelStore& store, bool useDensities);

/// The compute command as the user runs it, in the window or in a batch:
/// ComputeModel, with an error raised inside it taken as a failed computation,
/// and ResultsValid set from the outcome once the model reached the solver.
ComputeOutcome RunComputeCommand(ModelStore& store, bool useDensities);

/// The message of a failed computation.
UserMessage ComputationFailedMessage();

/// Adds to a failed computation's cause line that the per-element factors from the file were applied:
/// they may be the very cause (a zero leaves a node unheld).
void AddDensitiesNote(UserMessage& failed);

// How every solver path stores its double results in the model's floats, and
// what it says of an element or a result it cannot take.

/// The result rounded to float, and 0 when that is below 1e-8 in magnitude.
float CleanSmall(double result);
/// stress[1..6] through CleanSmall, the reduced stress recomputed from the stored six.
void StoredStresses(const double stress[8], StressRow& row);
/// The cause line of a material whose constants fail MaterialConstantsValid.
std::string MaterialFailureDetail(int material);
/// The cause line of an element whose stiffness cannot be built (a bad density or a zero volume).
std::string ElementFailureDetail(int element, float density);
/// The cause line of an element whose stresses cannot be recovered.
std::string StressFailureDetail(int element);
/// The cause lines of a displacement (degree of freedom `dof`) or an element's stress beyond the floats.
std::string DisplacementOutOfRangeDetail(int dof);
std::string StressOutOfRangeDetail(int element);

}  // namespace qor
