#pragma once
// How much memory this process can count on: the computer's physical memory and the
// process's address-space limit, as the operating system reports them.

#include <cstdint>
#include <optional>

struct TMemoryLimit {
  enum TSource : std::uint8_t { Physical, AddressSpace };
  std::uint64_t Bytes = 0;
  TSource Source = Physical;
};

// The installed physical memory; nothing when the system does not say.
[[nodiscard]] std::optional<std::uint64_t> PhysicalMemory() noexcept;
// The address space the process may use (RLIMIT_AS); nothing when it is unlimited.
[[nodiscard]] std::optional<std::uint64_t> AddressSpaceLimit() noexcept;
// The smaller of the two, with where it comes from; nothing when neither is known.
[[nodiscard]] std::optional<TMemoryLimit> MemoryLimit() noexcept;
