#pragma once
// The coordinator of restart attempts for this process: the ranks of an MPI job when the
// program was started by an MPI launcher and built with MPI, else this process alone.
// The MPI coordinator comes from a plug-in loaded only then; one that cannot be loaded
// throws std::runtime_error, as running alone would print the answer once per rank.

#include <memory>

#include "restart/AttemptCoordinator.h"

[[nodiscard]] std::unique_ptr<TAttemptCoordinator> MakeCoordinator();
