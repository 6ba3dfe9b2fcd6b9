#include "core/search/SearchMemory.h"

#include <gtest/gtest.h>

#include <new>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "core/model/DecimalSeparator.h"
#include "core/search/Movar.h"
#include "core/model/Random.h"
#include "core/scoring/ScoreMemo.h"
#include "core/search/SearchRun.h"

namespace {

constexpr std::uint64_t GiB = std::uint64_t{1} << 30;

const TSearchShape Huge{1000000, 1000, 20, 100};

std::string Refusal(const TSearchShape& shape, std::int32_t threads, TMemoryLimit limit,
                    std::int32_t searches = 1) {
  try {
    CheckSearchMemory(shape, threads, limit, searches);
  } catch (const TSearchMemoryError& error) {
    return error.what();
  }
  return "accepted";
}

}  // namespace

TEST(SearchMemory, FormatsBytesInBinaryUnitsWithTheUserSeparator) {
  const struct {
    std::uint64_t Bytes;
    const char* Text;
  } rows[] = {
      {0, "0 bytes"},           {1023, "1023 bytes"},    {1024, "1.0 KiB"},
      {1536, "1.5 KiB"},        {100 * 1024, "100 KiB"}, {99 * 1024 * 1024 + 1, "99.0 MiB"},
      {3 * GiB / 2, "1.5 GiB"}, {1024 * GiB, "1.0 TiB"}, {4096 * 1024 * GiB, "4096 TiB"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(row.Text, FormatBytes(row.Bytes)) << row.Bytes;
  SetDecimalSeparator(",");
  EXPECT_EQ("2,5 MiB", FormatBytes(5 * 512 * 1024));
  SetDecimalSeparator(".");
}

TEST(SearchMemory, GrowsWithPopulationInstructionsAndThreadsNotRegisters) {
  // The example: a million programs of a thousand 16-byte instructions.
  const std::uint64_t huge = SearchMemoryBytes(Huge, 2);
  EXPECT_GT(huge, 16'000'000'000u);
  EXPECT_LT(huge, 17'500'000'000u);

  const TSearchShape small{1000, 20, 4, 100};
  const std::uint64_t base = SearchMemoryBytes(small, 1);
  EXPECT_LT(base, SearchMemoryBytes({2000, 20, 4, 100}, 1));
  EXPECT_LT(base, SearchMemoryBytes({1000, 21, 4, 100}, 1));
  EXPECT_LT(base, SearchMemoryBytes({1000, 20, 4, 1000}, 1));
  // Every thread has its own function cache of 832 KiB.
  EXPECT_GE(SearchMemoryBytes(small, 2) - base, 832u * 1024);
  // The registers are a fixed array in every program.
  EXPECT_EQ(base, SearchMemoryBytes({1000, 20, 20, 100}, 1));
}

TEST(SearchMemory, RefusesWithASentenceNamingSizeParametersAndLimit) {
  EXPECT_EQ(
      "A search of population 1000000 with 1000 instructions and 20 registers on 2 threads "
      "needs about " +
          FormatBytes(SearchMemoryBytes(Huge, 2)) +
          " of memory, more than the 8.0 GiB this computer has.",
      Refusal(Huge, 2, {8 * GiB, TMemoryLimit::Physical}));
  EXPECT_EQ(
      "A search of population 100 with 1 instruction and 1 register on 1 thread needs about " +
          FormatBytes(SearchMemoryBytes({100, 1, 1, 0}, 1)) +
          " of memory, more than the 512 KiB this process may use (its address-space limit).",
      Refusal({100, 1, 1, 0}, 1, {512 * 1024, TMemoryLimit::AddressSpace}));
  EXPECT_EQ(
      "4 searches side by side of population 1000 with 20 instructions and 4 registers on 1 "
      "thread each need about " +
          FormatBytes(4 * SearchMemoryBytes({1000, 20, 4, 100}, 1)) +
          " of memory, more than the 2.0 MiB this computer has.",
      Refusal({1000, 20, 4, 100}, 1, {2 * 1024 * 1024, TMemoryLimit::Physical}, 4));
}

TEST(SearchMemory, AcceptsUpToTheLimitAndWithoutOne) {
  const TSearchShape shape{1000, 20, 4, 100};
  const std::uint64_t needed = SearchMemoryBytes(shape, 2);
  EXPECT_EQ("accepted", Refusal(shape, 2, {needed, TMemoryLimit::Physical}));
  EXPECT_NE("accepted", Refusal(shape, 2, {needed - 1, TMemoryLimit::Physical}));
  EXPECT_NE("accepted", Refusal(shape, 2, {needed, TMemoryLimit::Physical}, 2));
  EXPECT_NO_THROW(CheckSearchMemory(Huge, 1024, std::nullopt, 1024));
}

TEST(SearchMemory, OutOfMemorySentenceNamesTheSearch) {
  EXPECT_EQ(
      "A search of population 1000000 with 1000 instructions and 20 registers on 2 threads "
      "ran out of memory; it needs about " +
          FormatBytes(SearchMemoryBytes(Huge, 2)) + ".",
      std::string(SearchOutOfMemory(Huge, 2).what()));
  EXPECT_EQ(
      "3 searches side by side of population 1000000 with 1000 instructions and 20 "
      "registers on 1 thread each ran out of memory; they need about " +
          FormatBytes(3 * SearchMemoryBytes(Huge, 1)) + ".",
      std::string(SearchOutOfMemory(Huge, 1, 3).what()));
}

TEST(SearchMemory, ThreadCountIsTheOneTheSearchUses) {
  for (std::int32_t requested : {-1, 0, 1, 3}) {
    TMovar search(2, 1, 1);
    search.SetThreads(requested);
    EXPECT_EQ(search.Threads(), ScoringThreads(requested)) << requested;
  }
}

TEST(SearchMemory, PlatformLimitIsTheSmallerOfTheTwo) {
  const auto physical = PhysicalMemory();
  ASSERT_TRUE(physical.has_value());
  EXPECT_GT(*physical, std::uint64_t{64} << 20);
  const auto limit = MemoryLimit();
  ASSERT_TRUE(limit.has_value());
  EXPECT_LE(limit->Bytes, *physical);
  if (const auto addressSpace = AddressSpaceLimit()) {
    EXPECT_LE(limit->Bytes, *addressSpace);
  }
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MOVAR_OWN_ALLOCATOR 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define MOVAR_OWN_ALLOCATOR 1
#endif

#if defined(__GLIBC__) && __GLIBC_PREREQ(2, 33)
// The estimate covers what a search really allocates, without being wildly above it.
TEST(SearchMemory, EstimateCoversTheHeapOfARealSearch) {
#ifdef MOVAR_OWN_ALLOCATOR
  GTEST_SKIP() << "the sanitizer's allocator does not report to mallinfo2";
#endif
  const auto heap = [] {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<std::uint64_t>(info.uordblks + info.hblkhd);
  };
  // The last row's heap is mostly the predictions each scaled scorer keeps.
  const struct {
    TSearchShape Shape;
    std::int32_t Threads;
    bool Scaled;
  } rows[] = {{{20000, 100, 20, 100}, 1, false},
              {{50000, 5, 2, 100}, 2, false},
              {{3000, 20, 4, 1000}, 2, false},
              {{40, 5, 2, 200000}, 2, true}};
  for (const auto& row : rows) {
    SetSeed(7);
    TSampleData samples(row.Shape.SampleCount);
    samples.GenerateSine();
    const std::uint64_t before = heap();
    TSearchParameters parameters;
    parameters.PopulationSize = row.Shape.PopulationSize;
    parameters.InstructionCount = row.Shape.InstructionCount;
    parameters.RegisterCount = row.Shape.RegisterCount;
    parameters.Progressive = false;
    parameters.LinearScaling = row.Scaled;
    parameters.GenerationLimit = 3;
    parameters.Threads = row.Threads;
    parameters.Seed = Seed();
    TSearchRun run(samples, parameters);
    (void)run.Run({});
    const std::uint64_t used = heap() - before;
    const std::uint64_t estimate = SearchMemoryBytes(row.Shape, row.Threads);
    EXPECT_GE(estimate, used) << row.Shape.PopulationSize;
    // Three generations fill the score memos far less than a long run may.
    const std::uint64_t memos =
        row.Threads * TScoreMemo::PeakBytes(static_cast<std::uint64_t>(row.Shape.PopulationSize),
                                            3 * row.Shape.InstructionCount + MaxRegisters + 3);
    EXPECT_LE(estimate - memos, 2 * used) << row.Shape.PopulationSize;
  }
}
#endif

TEST(SearchMemory, FailedAllocationDuringARunBecomesTheSentence) {
  SetSeed(3);
  TSampleData samples(100);
  samples.GenerateSine();
  TSearchParameters parameters;
  parameters.RegisterCount = 1;
  parameters.Threads = 2;
  parameters.GenerationLimit = 10;
  parameters.Seed = Seed();
  TSearchRun run(samples, parameters);
  TSearchObserver observer;
  observer.GenerationDone = [](std::int32_t generation, std::chrono::milliseconds) {
    if (generation == 2) throw std::bad_alloc();
  };
  try {
    (void)run.Run(observer);
    ADD_FAILURE() << "the run went on";
  } catch (const TSearchMemoryError& error) {
    EXPECT_EQ(SearchOutOfMemory({100, 5, 1, 100}, 2).what(), std::string(error.what()));
  }
}
