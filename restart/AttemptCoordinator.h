#pragma once
// Which attempts a process runs, and what it learns of the attempts run elsewhere. One
// process runs them all; with MPI, each rank runs every K-th and they share the lowest
// matching attempt, so that every rank stops where one process would.

#include <cstdint>
#include <limits>

#include "restart/AttemptOutcome.h"

struct TAttemptState {
  static constexpr std::int64_t None = std::numeric_limits<std::int64_t>::max();
  std::int64_t LowestMatch = None;       // the lowest attempt known to match
  std::int64_t LowestUnfinished = None;  // the lowest attempt still running or to start
  bool Stop = false;                     // a stop request or a time limit somewhere
};

class TAttemptCoordinator {
 public:
  virtual ~TAttemptCoordinator() = default;

  // This process runs attempts First(), First() + Stride(), ...
  [[nodiscard]] virtual std::int64_t First() const noexcept { return 0; }
  [[nodiscard]] virtual std::int64_t Stride() const noexcept { return 1; }

  // Offers this process's state and returns the combined state as far as it is known;
  // it may lag behind, but never reports a lower attempt unfinished than there is.
  [[nodiscard]] virtual TAttemptState Exchange(const TAttemptState& local) { return local; }

  // The run's answer from every process's best outcome; the printing process gets it.
  [[nodiscard]] virtual TAttemptOutcome Settle(const TAttemptOutcome& local) { return local; }

  // Whether this process prints the answer.
  [[nodiscard]] virtual bool Prints() const noexcept { return true; }
};
