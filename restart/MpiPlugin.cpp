// The entry point of the MPI plug-in, found by name with dlsym.
#include <type_traits>

#include "restart/MpiCoordinator.h"
#include "restart/MpiPlugin.h"

extern "C" __attribute__((visibility("default"))) TAttemptCoordinator* MovarNewMpiCoordinator() {
  return new TMpiCoordinator(nullptr, nullptr);
}

static_assert(std::is_same_v<decltype(&MovarNewMpiCoordinator), TMpiPluginEntry>);
