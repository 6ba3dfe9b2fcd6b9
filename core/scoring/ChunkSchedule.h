#pragma once
// TChunkSchedule: hands out chunks 0 .. count - 1 of a parallel task so that each worker
// first takes the chunks of its own share, in order, and only then the last chunks left of
// the others'. Breeding and scoring then mostly see the same programs on the same thread:
// a program written on one core and read on another costs a transfer of its cache lines,
// which made two threads use more time than one for the same instructions.

#include <atomic>
#include <cstdint>
#include <memory>

class TChunkSchedule {
 public:
  TChunkSchedule(std::int32_t count, std::int32_t workers);

  // The next chunk for the worker, or -1 when every chunk has been handed out.
  [[nodiscard]] std::int32_t Next(std::int32_t worker) noexcept;

 private:
  // What is left of one worker's share: chunks front .. back - 1, packed into one word so
  // that the owner (taking from the front) and others (from the back) agree.
  struct alignas(64) TShare {
    std::atomic<std::uint64_t> Left{0};
  };

  // The first chunk left of the share, or the last; -1 when none is left.
  template <bool Front>
  [[nodiscard]] static std::int32_t Take(TShare& share) noexcept;

  std::unique_ptr<TShare[]> shares_;
  std::int32_t workers_;
};
