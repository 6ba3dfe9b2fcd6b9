#include "cli/AttemptCoordinatorFactory.h"

#ifdef MOVAR_MPI
#include <dlfcn.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "restart/MpiLauncher.h"
#include "restart/MpiPlugin.h"

namespace {

// Beside the program in the build tree, then where the installation puts it
// (MOVAR_MPI_PLUGIN_DIR, relative to the program's folder).
std::vector<std::filesystem::path> PluginCandidates() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  const std::filesystem::path folder = program.parent_path();
  return {folder / MpiPluginFile,
          (folder / MOVAR_MPI_PLUGIN_DIR / MpiPluginFile).lexically_normal()};
}

std::unique_ptr<TAttemptCoordinator> LoadMpiCoordinator() {
  const std::vector<std::filesystem::path> candidates = PluginCandidates();
  for (const std::filesystem::path& path : candidates) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) continue;
    // Global, as Open MPI's own components look up its symbols; never closed, as the
    // coordinator's code and MPI stay until the process ends.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (handle == nullptr) {
      const char* reason = dlerror();
      throw std::runtime_error(
          "started by an MPI launcher, but its MPI plug-in cannot be loaded: " +
          std::string(reason != nullptr ? reason : path.string()));
    }
    const auto entry = reinterpret_cast<TMpiPluginEntry>(dlsym(handle, MpiPluginEntry));
    if (entry == nullptr)
      throw std::runtime_error(path.string() + " is not an MPI plug-in of movar-search");
    return std::unique_ptr<TAttemptCoordinator>(entry());
  }
  std::string places;
  for (const std::filesystem::path& path : candidates)
    places += (places.empty() ? "" : " or ") + path.parent_path().string();
  throw std::runtime_error(std::string("started by an MPI launcher, but its MPI plug-in ") +
                           MpiPluginFile + " is not in " +
                           (places.empty() ? "the program's folder" : places));
}

}  // namespace
#endif

std::unique_ptr<TAttemptCoordinator> MakeCoordinator() {
#ifdef MOVAR_MPI
  if (StartedByMpiLauncher()) return LoadMpiCoordinator();
#endif
  return std::make_unique<TAttemptCoordinator>();
}
