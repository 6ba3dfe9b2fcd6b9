#include "cli/AttemptCoordinatorFactory.h"

#ifdef MOVAR_MPI
#include "restart/MpiCoordinator.h"
#endif

std::unique_ptr<TAttemptCoordinator> MakeCoordinator() {
#ifdef MOVAR_MPI
  if (TMpiCoordinator::Launched()) return std::make_unique<TMpiCoordinator>(nullptr, nullptr);
#endif
  return std::make_unique<TAttemptCoordinator>();
}
