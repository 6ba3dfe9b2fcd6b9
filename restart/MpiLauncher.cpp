#include "restart/MpiLauncher.h"

#include <cstdlib>
#include <initializer_list>

bool StartedByMpiLauncher() noexcept {
  for (const char* name : {"OMPI_COMM_WORLD_SIZE", "PMIX_RANK", "PMI_SIZE"}) {
    if (std::getenv(name) != nullptr) return true;
  }
  return false;
}
