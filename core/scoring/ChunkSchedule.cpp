#include "core/scoring/ChunkSchedule.h"

#include <algorithm>

namespace {

constexpr std::uint64_t Pack(std::uint32_t front, std::uint32_t back) noexcept {
  return static_cast<std::uint64_t>(front) << 32 | back;
}

}  // namespace

TChunkSchedule::TChunkSchedule(std::int32_t count, std::int32_t workers)
    : shares_(std::make_unique<TShare[]>(static_cast<std::size_t>(std::max(workers, 1)))),
      workers_(std::max(workers, 1)) {
  const std::int64_t chunks = std::max(count, 0);
  for (std::int32_t w = 0; w < workers_; ++w) {
    const auto front = static_cast<std::uint32_t>(chunks * w / workers_);
    const auto back = static_cast<std::uint32_t>(chunks * (w + 1) / workers_);
    shares_[w].Left.store(Pack(front, back), std::memory_order_relaxed);
  }
}

template <bool Front>
std::int32_t TChunkSchedule::Take(TShare& share) noexcept {
  std::uint64_t left = share.Left.load(std::memory_order_relaxed);
  for (;;) {
    const auto front = static_cast<std::uint32_t>(left >> 32);
    const auto back = static_cast<std::uint32_t>(left);
    if (front >= back) return -1;
    const std::uint32_t taken = Front ? front : back - 1;
    const std::uint64_t rest = Front ? Pack(front + 1, back) : Pack(front, back - 1);
    if (share.Left.compare_exchange_weak(left, rest, std::memory_order_relaxed)) {
      return static_cast<std::int32_t>(taken);
    }
  }
}

std::int32_t TChunkSchedule::Next(std::int32_t worker) noexcept {
  if (const std::int32_t own = Take<true>(shares_[worker]); own >= 0) return own;
  // Own share done: help the others from the far end of theirs, the next worker first.
  for (std::int32_t step = 1; step < workers_; ++step) {
    if (const std::int32_t other = Take<false>(shares_[(worker + step) % workers_]); other >= 0) {
      return other;
    }
  }
  return -1;
}
