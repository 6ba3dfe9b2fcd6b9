#include "core/search/SampleSplit.h"

#include <gtest/gtest.h>

#include <set>

#include "core/model/Random.h"
#include "core/search/SearchRun.h"

namespace {

// y = 1000 + i at x = i: every row is told apart by its y.
TSampleData Numbered(std::int32_t count) {
  TSampleData samples(count);
  for (std::int32_t i = 0; i < count; ++i) {
    samples.SetX(i, i);
    samples.SetY(i, 1000 + i);
  }
  samples.SetMargin(0.07);
  return samples;
}

std::vector<double> Ys(const TSampleData& samples) {
  std::vector<double> ys;
  for (std::int32_t i = 0; i < samples.Count(); ++i)
    ys.push_back(samples.GetY(i));
  return ys;
}

}  // namespace

TEST(SampleSplit, EveryRowGoesToOnePartInItsOrder) {
  const TSampleData samples = Numbered(103);
  const TSampleSplit split = SplitSamples(samples, 20, 7);
  ASSERT_EQ(20, split.HeldOut.Count()) << "a fifth of 103, truncated";
  ASSERT_EQ(83, split.Searched.Count());
  std::multiset<double> all;
  for (const TSampleData* part : {&split.Searched, &split.HeldOut}) {
    const std::vector<double> ys = Ys(*part);
    EXPECT_TRUE(std::is_sorted(ys.begin(), ys.end()));
    all.insert(ys.begin(), ys.end());
    for (std::int32_t i = 0; i < part->Count(); ++i)
      EXPECT_EQ(part->GetY(i) - 1000, part->GetX(i)) << "x stays with its y";
    EXPECT_EQ(0.07, part->GetMargin());
  }
  const std::vector<double> original = Ys(samples);
  EXPECT_EQ(std::multiset<double>(original.begin(), original.end()), all);
  // The bounds are each part's own, not widened by the zero rows it started as.
  EXPECT_EQ(split.HeldOut.GetY(0), split.HeldOut.MinY());
  EXPECT_EQ(split.HeldOut.GetY(19), split.HeldOut.MaxY());
}

TEST(SampleSplit, TheSeedAloneDecidesAndTheSearchStreamIsUntouched) {
  const TSampleData samples = Numbered(200);
  SetSeed(99);
  const TSampleSplit a = SplitSamples(samples, 30, 5);
  EXPECT_EQ(99u, Seed()) << "the split draws from a stream of its own";
  SetSeed(12345);
  const TSampleSplit b = SplitSamples(samples, 30, 5);
  EXPECT_EQ(Ys(a.HeldOut), Ys(b.HeldOut));
  EXPECT_NE(Ys(a.HeldOut), Ys(SplitSamples(samples, 30, 6).HeldOut));
  // Not simply the first or the last rows.
  EXPECT_NE(1000.0, a.HeldOut.GetY(0));
  EXPECT_NE(1199.0, a.HeldOut.GetY(a.HeldOut.Count() - 1));
}

TEST(SampleSplit, NothingHeldOutAtZeroAndTheShareIsTruncated) {
  const TSampleData samples = Numbered(9);
  const TSampleSplit none = SplitSamples(samples, 0, 1);
  EXPECT_EQ(0, none.HeldOut.Count());
  EXPECT_EQ(Ys(samples), Ys(none.Searched));
  EXPECT_EQ(4, SplitSamples(samples, 50, 1).HeldOut.Count());
  EXPECT_EQ(0, SplitSamples(samples, 11, 1).HeldOut.Count()) << "0.99 of a row is none";
  EXPECT_EQ(0, SplitSamples(TSampleData(0), 50, 1).Searched.Count());
}

TEST(SampleSplit, TheSearchScoresOnlyTheRowsItKeeps) {
  SetSeed(3);
  TSampleData samples(100);
  samples.GenerateSine();
  TSampleSplit split = SplitSamples(samples, 25, 3);
  TSearchParameters parameters;
  parameters.GenerationLimit = 5;
  parameters.Seed = 3;
  std::size_t updates = 0;
  TSearchObserver observer;
  observer.ModelChanged = [&](const TModelUpdate& update) {
    ++updates;
    EXPECT_EQ(75, update.SampleCount);
    EXPECT_EQ(75u, update.Predictions.size());
  };
  TSearchRun run(split.Searched, parameters);
  (void)run.Run(observer);
  EXPECT_GT(updates, 0u);
  EXPECT_EQ(75, run.Search().Samples().Count());
}

TEST(SampleSplit, RowsOfSeveralInputsStayWholeAndKeepTheirNames) {
  // Row i: inputs i and -i, y 1000 + i.
  TSampleData samples(50, 2);
  for (std::int32_t i = 0; i < 50; ++i) {
    samples.SetX(i, 0, i);
    samples.SetX(i, 1, -i);
    samples.SetY(i, 1000 + i);
  }
  samples.SetNames({"a", "b", "c"});
  const TSampleSplit split = SplitSamples(samples, 20, 3);
  ASSERT_EQ(10, split.HeldOut.Count());
  for (const TSampleData* part : {&split.Searched, &split.HeldOut}) {
    ASSERT_EQ(2, part->InputCount());
    EXPECT_EQ(samples.Names(), part->Names());
    for (std::int32_t i = 0; i < part->Count(); ++i) {
      const double row = part->GetY(i) - 1000;
      EXPECT_EQ(row, part->GetX(i, 0));
      EXPECT_EQ(-row, part->GetX(i, 1));
    }
  }
}
