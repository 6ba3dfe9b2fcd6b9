#pragma once
// The coordinator of restart attempts for this process: the ranks of an MPI job when the
// program was started by an MPI launcher and built with MPI, else this process alone.

#include <memory>

#include "restart/AttemptCoordinator.h"

[[nodiscard]] std::unique_ptr<TAttemptCoordinator> MakeCoordinator();
