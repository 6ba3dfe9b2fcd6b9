#include "core/scoring/ChunkSchedule.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(ChunkSchedule, EachWorkerTakesItsOwnShareInOrderThenTheOthersFromTheirEnd) {
  TChunkSchedule schedule(10, 2);  // shares 0 .. 4 and 5 .. 9
  EXPECT_EQ(0, schedule.Next(0));
  EXPECT_EQ(1, schedule.Next(0));
  EXPECT_EQ(5, schedule.Next(1));
  for (int chunk = 2; chunk <= 4; ++chunk)
    EXPECT_EQ(chunk, schedule.Next(0));
  EXPECT_EQ(9, schedule.Next(0));  // worker 1's share, from its far end
  EXPECT_EQ(8, schedule.Next(0));
  EXPECT_EQ(6, schedule.Next(1));
  EXPECT_EQ(7, schedule.Next(1));
  EXPECT_EQ(-1, schedule.Next(1));
  EXPECT_EQ(-1, schedule.Next(0));
}

TEST(ChunkSchedule, EdgeCountsAndMoreWorkersThanChunks) {
  EXPECT_EQ(-1, TChunkSchedule(0, 2).Next(0));
  TChunkSchedule one(1, 1);
  EXPECT_EQ(0, one.Next(0));
  EXPECT_EQ(-1, one.Next(0));
  // Shares of two chunks among four workers: 1 holds chunk 0 and 3 chunk 1; the others help.
  TChunkSchedule few(2, 4);
  EXPECT_EQ(0, few.Next(0));
  EXPECT_EQ(1, few.Next(2));
  EXPECT_EQ(-1, few.Next(3));
  EXPECT_EQ(-1, few.Next(1));
}

// Every chunk is handed out exactly once, whatever the interleaving of the workers.
TEST(ChunkSchedule, ConcurrentWorkersTakeEveryChunkOnce) {
  for (const int workers : {2, 3, 4}) {
    for (const int count : {1, 7, 500, 4096}) {
      TChunkSchedule schedule(count, workers);
      std::vector<std::vector<int>> taken(static_cast<std::size_t>(workers));
      std::vector<std::thread> threads;
      for (int w = 0; w < workers; ++w) {
        threads.emplace_back([&, w] {
          for (int chunk; (chunk = schedule.Next(w)) >= 0;)
            taken[static_cast<std::size_t>(w)].push_back(chunk);
        });
      }
      for (std::thread& t : threads)
        t.join();
      std::vector<int> seen(static_cast<std::size_t>(count), 0);
      for (const auto& list : taken) {
        for (const int chunk : list) {
          ASSERT_GE(chunk, 0);
          ASSERT_LT(chunk, count);
          ++seen[static_cast<std::size_t>(chunk)];
        }
      }
      for (int chunk = 0; chunk < count; ++chunk)
        EXPECT_EQ(1, seen[static_cast<std::size_t>(chunk)])
            << workers << " " << count << " " << chunk;
    }
  }
}
