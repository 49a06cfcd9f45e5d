#pragma once

#include <optional>

#include "platform/UserMessage.h"
#include "solid/SolidModel.h"

namespace qor {

/// The compute command's checks on a model of any size, with the band path's messages, before any
/// solver runs: "Brak zdefiniowanych elementów", "... materiałów", "... podpór" (caption "Obliczenia");
/// then, as "Błąd podczas obliczeń" with its cause line, every element in order (its material's
/// constants, its density from the file when `useDensities`, its volume), and last the rigidity check
/// (FindFreeMotion): a part or a node left free to move. nullopt when the model can be computed.
std::optional<UserMessage> CheckSolidModel(const SolidModel& model, bool useDensities);

}  // namespace qor
