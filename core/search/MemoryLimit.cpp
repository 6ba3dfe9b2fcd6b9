#include "core/search/MemoryLimit.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX  // MinGW's C++ headers define it already
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/resource.h>
#include <unistd.h>
#endif

#ifdef _WIN32
namespace {

std::optional<MEMORYSTATUSEX> MemoryStatus() noexcept {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return std::nullopt;
  return status;
}

}  // namespace
#endif

std::optional<std::uint64_t> PhysicalMemory() noexcept {
#ifdef _WIN32
  const std::optional<MEMORYSTATUSEX> status = MemoryStatus();
  if (!status) return std::nullopt;
  return status->ullTotalPhys;
#else
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || pageSize <= 0) return std::nullopt;
  return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
#endif
}

std::optional<std::uint64_t> AddressSpaceLimit() noexcept {
#ifdef _WIN32
  // The user-mode address space; Windows has no per-process limit of its own.
  const std::optional<MEMORYSTATUSEX> status = MemoryStatus();
  if (!status) return std::nullopt;
  return status->ullTotalVirtual;
#else
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return std::nullopt;
  return static_cast<std::uint64_t>(limit.rlim_cur);
#endif
}

std::optional<TMemoryLimit> MemoryLimit() noexcept {
  const std::optional<std::uint64_t> physical = PhysicalMemory();
  const std::optional<std::uint64_t> addressSpace = AddressSpaceLimit();
  if (addressSpace && (!physical || *addressSpace < *physical)) {
    return TMemoryLimit{*addressSpace, TMemoryLimit::AddressSpace};
  }
  if (physical) return TMemoryLimit{*physical, TMemoryLimit::Physical};
  return std::nullopt;
}
