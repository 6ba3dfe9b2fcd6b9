#pragma once
// TMpiCoordinator: restart attempts spread over the ranks of an MPI job. Rank r runs
// attempts r, r + K, r + 2K, ...; the ranks share their lowest match and lowest unfinished
// attempt with a non-blocking all-reduce, and the rank that holds the answer sends its
// model text and program to rank 0, which prints them.

#include <array>
#include <cstdint>

#include <mpi.h>

#include "restart/AttemptCoordinator.h"

class TMpiCoordinator : public TAttemptCoordinator {
 public:
  // Initialises MPI for this process (the calling thread makes every MPI call) and
  // finalises it when destroyed.
  TMpiCoordinator(int* argc, char*** argv);
  ~TMpiCoordinator() override;
  TMpiCoordinator(const TMpiCoordinator&) = delete;
  TMpiCoordinator& operator=(const TMpiCoordinator&) = delete;

  [[nodiscard]] std::int64_t First() const noexcept override { return rank_; }
  [[nodiscard]] std::int64_t Stride() const noexcept override { return size_; }
  [[nodiscard]] TAttemptState Exchange(const TAttemptState& local) override;
  [[nodiscard]] TAttemptOutcome Settle(const TAttemptOutcome& local) override;
  [[nodiscard]] bool Prints() const noexcept override { return rank_ == 0; }

 private:
  int rank_ = 0;
  int size_ = 1;
  MPI_Request request_ = MPI_REQUEST_NULL;
  std::array<std::int64_t, 3> sent_{};
  std::array<std::int64_t, 3> received_{};
  // Until a round completes nothing is known to be finished anywhere.
  TAttemptState known_{TAttemptState::None, 0, false};
};
