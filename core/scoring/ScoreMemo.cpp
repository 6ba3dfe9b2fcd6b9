#include "core/scoring/ScoreMemo.h"

#include <algorithm>
#include <bit>
#include <new>

namespace {

// Remembered steps per thread at most (16 bytes each); beyond, new programs are only run.
constexpr std::size_t MaxSteps = std::size_t{1} << 20;
// Slots of the first table; it doubles whenever it is half full.
constexpr std::size_t FirstTableSize = 1024;

[[nodiscard]] inline bool SameStep(const TFastScorer::TStep& a,
                                   const TFastScorer::TStep& b) noexcept {
  return a.Kind == b.Kind && a.Dest == b.Dest && a.Src == b.Src && a.Skip == b.Skip &&
         std::bit_cast<std::uint64_t>(a.Value) == std::bit_cast<std::uint64_t>(b.Value);
}

}  // namespace

void TScoreMemo::Clear() noexcept {
  if (size_ == 0) return;
  for (TEntry& entry : table_)
    entry.Length = 0;
  steps_.clear();
  size_ = 0;
}

std::uint64_t TScoreMemo::Hash(TSteps steps) noexcept {
  // One multiplication a step: a collision costs only a comparison of the steps.
  std::uint64_t hash = 0xCBF29CE484222325ull;
  for (const TFastScorer::TStep& step : steps) {
    const std::uint64_t code = static_cast<std::uint64_t>(step.Kind) |
                               static_cast<std::uint64_t>(step.Dest) << 8 |
                               static_cast<std::uint64_t>(step.Src) << 16;
    hash = (hash ^ std::bit_cast<std::uint64_t>(step.Value) ^ code * 0x9E3779B97F4A7C15ull) *
               0x100000001B3ull +
           (hash >> 29);
  }
  return hash;
}

bool TScoreMemo::Matches(const TEntry& entry, TSteps steps, std::uint64_t hash) const noexcept {
  if (entry.Hash != hash || entry.Length != steps.size()) return false;
  const TFastScorer::TStep* known = steps_.data() + entry.First;
  for (std::size_t k = 0; k < steps.size(); ++k) {
    if (!SameStep(known[k], steps[k])) return false;
  }
  return true;
}

const TScoreMemo::TScore* TScoreMemo::Find(TSteps steps, std::uint64_t hash) const noexcept {
  if (table_.empty() || steps.empty()) return nullptr;
  const std::size_t mask = table_.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const TEntry& entry = table_[slot];
    if (entry.Length == 0) return nullptr;
    if (Matches(entry, steps, hash)) return &entry.Score;
  }
}

void TScoreMemo::Add(TSteps steps, std::uint64_t hash, TScore score) noexcept {
  if (steps.empty() || steps_.size() + steps.size() > MaxSteps) return;
  try {
    if (2 * (size_ + 1) > table_.size()) Grow();
    steps_.insert(steps_.end(), steps.begin(), steps.end());
  } catch (const std::bad_alloc&) {
    // Remembering only saves work: without memory, forget everything and go on.
    table_.clear();
    steps_.clear();
    size_ = 0;
    return;
  }
  const std::size_t mask = table_.size() - 1;
  std::size_t slot = hash & mask;
  while (table_[slot].Length != 0)
    slot = (slot + 1) & mask;
  table_[slot] = {hash, static_cast<std::uint32_t>(steps_.size() - steps.size()),
                  static_cast<std::uint32_t>(steps.size()), score};
  ++size_;
}

void TScoreMemo::Grow() {
  std::vector<TEntry> old = std::move(table_);
  table_.assign(old.empty() ? FirstTableSize : 2 * old.size(), TEntry{0, 0, 0, {0, 0}});
  const std::size_t mask = table_.size() - 1;
  for (const TEntry& entry : old) {
    if (entry.Length == 0) continue;
    std::size_t slot = entry.Hash & mask;
    while (table_[slot].Length != 0)
      slot = (slot + 1) & mask;
    table_[slot] = entry;
  }
}

std::uint64_t TScoreMemo::PeakBytes(std::uint64_t programs, std::uint64_t stepsEach) noexcept {
  const std::uint64_t entries = std::min<std::uint64_t>(programs, MaxSteps);
  const std::uint64_t slots =
      std::max<std::uint64_t>(FirstTableSize, std::bit_ceil(2 * (entries + 1)));
  const std::uint64_t steps = std::min<std::uint64_t>(programs * stepsEach, MaxSteps);
  // Growing holds the old table beside the new one.
  return (slots + slots / 2) * sizeof(TEntry) + steps * sizeof(TFastScorer::TStep);
}
