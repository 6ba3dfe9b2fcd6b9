#include "core/scoring/WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <stdexcept>
#include <vector>

TEST(WorkerPool, RunsTheTaskOnceOnEveryWorker) {
  TWorkerPool pool(4);
  std::vector<std::atomic<int>> calls(4);
  for (int round = 0; round < 100; ++round) {
    pool.Run([&](std::int32_t worker) { calls[worker].fetch_add(1); });
  }
  for (const auto& count : calls)
    EXPECT_EQ(100, count.load());
}

// A failed allocation on any thread reaches the caller instead of ending the process, and
// only once every worker is done with the task.
TEST(WorkerPool, ExceptionOfAnyWorkerReachesTheCallerAfterAllReturn) {
  TWorkerPool pool(3);
  for (std::int32_t thrower = 0; thrower < 3; ++thrower) {
    std::atomic<int> finished{0};
    EXPECT_THROW(pool.Run([&](std::int32_t worker) {
      if (worker == thrower) throw std::bad_alloc();
      finished.fetch_add(1);
    }),
                 std::bad_alloc)
        << thrower;
    EXPECT_EQ(2, finished.load()) << thrower;
  }
  // Two failures in one round: the caller gets one of them, and the pool goes on.
  EXPECT_THROW(pool.Run([](std::int32_t worker) {
    if (worker > 0) throw std::runtime_error("worker");
  }),
               std::runtime_error);
  std::atomic<int> calls{0};
  pool.Run([&](std::int32_t) { calls.fetch_add(1); });
  EXPECT_EQ(3, calls.load());
}
