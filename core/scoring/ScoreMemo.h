#pragma once
// TScoreMemo: the scores of the residual programs already run in one generation. Many
// programs of a generation decode to the same residual program (crossings whose changes
// are dead code, new programs that reduce to a constant or to x), and within a generation
// a residual program's error depends only on its steps: the samples, the window and the
// cut-off are fixed. A remembered score is the very one running the program again gives.

#include <cstdint>
#include <span>
#include <vector>

#include "core/scoring/FastScorer.h"

// Aligned to a cache line: the memos of several threads sit side by side in one vector.
class alignas(64) TScoreMemo {
 public:
  struct TScore {
    double Error;
    std::int32_t Scored;  // samples run, for the instruction counter
  };
  using TSteps = std::span<const TFastScorer::TStep>;

  // Forgets every score; the next ones are for other samples, window or cut-off.
  void Clear() noexcept;
  // Clears unless already cleared for this round. Each thread clears its own memo, so that
  // the table stays in the cache of the core that uses it.
  void ClearFor(std::uint64_t round) noexcept {
    if (round == clearedFor_) return;
    Clear();
    clearedFor_ = round;
  }

  [[nodiscard]] static std::uint64_t Hash(TSteps steps) noexcept;
  // The score remembered for steps (whose Hash is hash), or nullptr.
  [[nodiscard]] const TScore* Find(TSteps steps, std::uint64_t hash) const noexcept;
  // Keeps steps and their score; out of memory, it forgets everything instead.
  void Add(TSteps steps, std::uint64_t hash, TScore score) noexcept;

  [[nodiscard]] std::size_t Size() const noexcept { return size_; }

  // The most memory a memo takes at once while it remembers the scores of up to programs
  // residual programs of at most stepsEach steps.
  [[nodiscard]] static std::uint64_t PeakBytes(std::uint64_t programs,
                                               std::uint64_t stepsEach) noexcept;

 private:
  struct TEntry {
    std::uint64_t Hash;
    std::uint32_t First;  // in steps_
    std::uint32_t Length;
    TScore Score;
  };

  [[nodiscard]] bool Matches(const TEntry& entry, TSteps steps, std::uint64_t hash) const noexcept;
  void Grow();

  std::vector<TEntry> table_;  // open addressing; Length 0 marks a free slot
  std::vector<TFastScorer::TStep> steps_;
  std::size_t size_ = 0;
  std::uint64_t clearedFor_ = 0;
};
