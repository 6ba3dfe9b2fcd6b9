#include "restart/RestartSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <set>
#include <thread>
#include <vector>

#include "restart/AttemptSeed.h"
#include "restart/BestMode.h"
#include "restart/Luby.h"
#include "restart/SizeLadder.h"
#include "core/search/SearchMemory.h"
#include "core/model/Random.h"

namespace {

TSampleData Sine(std::uint32_t seed) {
  SetSeed(seed);
  TSampleData samples(100);
  samples.GenerateSine();
  return samples;
}

TSearchParameters Plain() {
  TSearchParameters parameters;
  parameters.RegisterCount = 2;
  return parameters;
}

TSearchParameters Improved() {
  TSearchParameters parameters = Plain();
  parameters.MinimumWindow = 10;
  parameters.RefineTrials = 20;
  parameters.ScaledConstants = true;
  return parameters;
}

// Only searching attempts, numbered from 0 without a gap: the sequence these tests follow.
TRestartParameters Searches(std::int64_t unit) {
  TRestartParameters restart;
  restart.Unit = unit;
  restart.ShortPrograms = false;
  return restart;
}

// Attempt 0 starts where the sample's draws left the source, as movar-search does.
TRestartResult RunRestarts(std::uint32_t seed, TSearchParameters parameters, std::int32_t threads,
                           std::int64_t unit, std::int64_t attemptLimit = 0,
                           const TRestartObserver& observer = {}) {
  TSampleData samples = Sine(seed);
  parameters.Seed = Seed();
  parameters.Threads = threads;
  TRestartParameters restart = Searches(unit);
  restart.AttemptLimit = attemptLimit;
  TAttemptCoordinator alone;
  TRestartSearch search(samples, parameters, restart, alone);
  return search.Run(observer);
}

// The attempt that gave answer, run again as a plain search on the sine of seed with the
// parameters the run gives that attempt, as the replay line does.
TSearchResult Replay(std::uint32_t seed, TSearchParameters parameters,
                     const TAttemptOutcome& answer, std::int64_t unit) {
  TSampleData samples = Sine(seed);
  parameters.Seed = Seed();
  const TRestartParameters restart = Searches(unit);
  TAttemptCoordinator alone;
  const TRestartSearch search(samples, parameters, restart, alone);
  const TSearchParameters attempt = search.AttemptParameters(answer.Attempt);
  EXPECT_EQ(answer.Seed, attempt.Seed);
  TSearchRun replay(samples, attempt);
  return replay.Run({});
}

void ExpectSameAnswer(const TAttemptOutcome& expected, const TAttemptOutcome& actual) {
  EXPECT_EQ(expected.Attempt, actual.Attempt);
  EXPECT_EQ(expected.Seed, actual.Seed);
  EXPECT_EQ(expected.Generations, actual.Generations);
  EXPECT_EQ(expected.Matched, actual.Matched);
  EXPECT_EQ(expected.Lines, actual.Lines);
}

// Restarts on the sine of seed 9 in units of 3 give the same matching answer on 1, 2 and 4
// threads, and its attempt's seed replays its model as a plain search.
void ExpectOneAnswerThatReplays(const TSearchParameters& parameters) {
  const TRestartResult one = RunRestarts(9, parameters, 1, 3);
  ASSERT_TRUE(one.Answer.Matched);
  for (const std::int32_t threads : {2, 4}) {
    SCOPED_TRACE(threads);
    ExpectSameAnswer(one.Answer, RunRestarts(9, parameters, threads, 3).Answer);
  }
  const TSearchResult replay = Replay(9, parameters, one.Answer, 3);
  EXPECT_TRUE(replay.Matched);
  EXPECT_EQ(one.Answer.Lines, replay.Lines);
}

}  // namespace

TEST(RestartSearch, LubySequenceAndAttemptSeeds) {
  const std::vector<std::int64_t> expected{1, 1, 2, 1, 1, 2, 4, 1, 1, 2, 1, 1, 2, 4, 8, 1};
  for (std::size_t k = 0; k < expected.size(); ++k)
    EXPECT_EQ(expected[k], Luby(static_cast<std::int64_t>(k))) << k;
  EXPECT_EQ(1024, Luby(2046));

  EXPECT_EQ(77u, AttemptSeed(77, 0));
  std::set<std::uint32_t> seeds;
  for (std::int64_t k = 1; k <= 1000; ++k)
    seeds.insert(AttemptSeed(77, k));
  EXPECT_EQ(1000u, seeds.size());
  EXPECT_NE(AttemptSeed(77, 1), AttemptSeed(78, 1));
}

TEST(RestartSearch, AnswerIsTheSameForEveryThreadCount) {
  // Short attempts, so that several run and later ones may match first.
  for (const std::uint32_t seed : {2u, 9u}) {
    const TRestartResult one = RunRestarts(seed, Improved(), 1, 5);
    EXPECT_TRUE(one.Answer.Matched) << seed;
    EXPECT_EQ(TSearchEnd::Matched, one.End);
    for (const std::int32_t threads : {2, 4}) {
      SCOPED_TRACE(threads);
      ExpectSameAnswer(one.Answer, RunRestarts(seed, Improved(), threads, 5).Answer);
    }
  }
}

// The last generation count reported is the run's total, even when the answer comes before
// the reporting thread has looked (the window's generation box shows it).
TEST(RestartSearch, TheLastGenerationsReportedAreTheTotal) {
  for (const std::int32_t threads : {1, 2}) {
    std::int32_t last = -1;
    TRestartObserver observer;
    observer.GenerationDone = [&](std::int32_t generations, std::chrono::milliseconds) {
      last = generations;
    };
    const TRestartResult result = RunRestarts(2, Improved(), threads, 5, 0, observer);
    ASSERT_TRUE(result.Answer.Matched);
    EXPECT_GT(result.TotalGenerations, 0);
    EXPECT_EQ(result.TotalGenerations, last) << threads << " threads";
  }
}

// The margin's fitness ranks on every thread alike, and an attempt's seed replays its model.
TEST(RestartSearch, MarginFitnessGivesTheSameAnswerForEveryThreadCountAndReplays) {
  TSearchParameters ranked = Improved();
  ranked.LinearScaling = true;
  ranked.RankByMatches = true;
  ranked.MarginWeights = true;
  ExpectOneAnswerThatReplays(ranked);
}

// Point mutations draw on the attempt's own thread, before its scoring.
TEST(RestartSearch, PointMutationsGiveTheSameAnswerForEveryThreadCountAndReplay) {
  TSearchParameters varied = Improved();
  varied.LinearScaling = true;
  varied.PointMutations = 50;
  ExpectOneAnswerThatReplays(varied);
}

TEST(RestartSearch, AttemptLimitGivesTheBestOfAllAttemptsForEveryThreadCount) {
  // Two attempts of one generation each cannot match; the best of both is the answer.
  const TRestartResult one = RunRestarts(4, Plain(), 1, 1, 2);
  EXPECT_FALSE(one.Answer.Matched);
  EXPECT_EQ(TSearchEnd::AttemptLimit, one.End);
  EXPECT_LE(one.Answer.Attempt, 1);
  EXPECT_EQ(1, one.Answer.Generations);
  ExpectSameAnswer(one.Answer, RunRestarts(4, Plain(), 2, 1, 2).Answer);
}

TEST(RestartSearch, AttemptZeroIsThePlainRunWhenThatMatchesWithinItsLength) {
  TSampleData samples = Sine(1);
  const std::uint32_t start = Seed();
  TSearchParameters parameters = Plain();
  parameters.GenerationLimit = 200;
  parameters.Seed = start;
  TSearchRun plain(samples, parameters);
  const TSearchResult expected = plain.Run({});
  ASSERT_TRUE(expected.Matched);

  const TRestartResult restarts = RunRestarts(1, Plain(), 2, 200);
  EXPECT_EQ(0, restarts.Answer.Attempt);
  EXPECT_EQ(start, restarts.Answer.Seed);
  EXPECT_EQ(expected.Generations, restarts.Answer.Generations);
  EXPECT_EQ(expected.Lines, restarts.Answer.Lines);
}

TEST(RestartSearch, ReplayingAnAttemptsSeedGivesItsModel) {
  // Attempts of 3 generations: the answer comes from a later attempt.
  const TRestartResult restarts = RunRestarts(9, Improved(), 2, 3);
  ASSERT_TRUE(restarts.Answer.Matched);
  ASSERT_GT(restarts.Answer.Attempt, 0);

  const TSearchResult result = Replay(9, Improved(), restarts.Answer, 3);
  EXPECT_TRUE(result.Matched);
  EXPECT_EQ(restarts.Answer.Generations, result.Generations);
  EXPECT_EQ(restarts.Answer.Lines, result.Lines);
}

TEST(RestartSearch, StopAndTimeLimitEndTheRunWithTheBestSoFar) {
  // One register and one instruction cannot reproduce the sine sample.
  TSearchParameters hopeless = Plain();
  hopeless.RegisterCount = 1;
  hopeless.InstructionCount = 1;

  std::atomic<int> looks{0};
  TRestartObserver observer;
  std::vector<TModelUpdate> shown;
  observer.ModelChanged = [&](const TModelUpdate& update) { shown.push_back(update); };
  observer.StopRequested = [&] { return ++looks > 5; };
  const TRestartResult stopped = RunRestarts(3, hopeless, 2, 50, 0, observer);
  EXPECT_FALSE(stopped.Answer.Matched);
  EXPECT_EQ(TSearchEnd::Stopped, stopped.End);
  EXPECT_GE(stopped.Answer.Attempt, 0);
  EXPECT_FALSE(stopped.Answer.Lines.empty());
  ASSERT_FALSE(shown.empty());
  // Each model shown beats the one before.
  for (std::size_t i = 1; i < shown.size(); ++i) {
    EXPECT_TRUE(shown[i].Matches > shown[i - 1].Matches ||
                (shown[i].Matches == shown[i - 1].Matches && shown[i].Error <= shown[i - 1].Error))
        << shown[i].Attempt << " " << shown[i].Matches << " " << shown[i].Error << " after "
        << shown[i - 1].Attempt << " " << shown[i - 1].Matches << " " << shown[i - 1].Error;
  }

  TSampleData samples = Sine(3);
  hopeless.Threads = 2;
  hopeless.TimeLimit = std::chrono::milliseconds(300);
  TAttemptCoordinator alone;
  TRestartSearch search(samples, hopeless, TRestartParameters{}, alone);
  const TRestartResult timed = search.Run({});
  EXPECT_FALSE(timed.Answer.Matched);
  EXPECT_EQ(TSearchEnd::TimeLimit, timed.End);
  EXPECT_GE(timed.Elapsed, std::chrono::milliseconds(300));
  EXPECT_LT(timed.Elapsed, std::chrono::seconds(10));
  EXPECT_GT(timed.TotalGenerations, 0);
}

TEST(RestartSearch, ProgressComesFromEveryAttemptOnTheCallersThread) {
  const std::uint32_t first = [] {
    TSampleData samples = Sine(9);
    return Seed();
  }();
  const std::thread::id caller = std::this_thread::get_id();
  std::set<std::int32_t> attempts;
  std::atomic<bool> elsewhere{false};
  TRestartObserver observer;
  observer.Progress = [&](const TSearchProgress& point) {
    if (std::this_thread::get_id() != caller) elsewhere = true;
    attempts.insert(point.Attempt);
    EXPECT_EQ(AttemptSeed(first, point.Attempt), point.Seed);
  };
  std::vector<TAttemptOutcome> ended;
  observer.AttemptEnded = [&](const TAttemptOutcome& outcome) {
    if (std::this_thread::get_id() != caller) elsewhere = true;
    ended.push_back(outcome);
  };
  const TRestartResult result = RunRestarts(9, Improved(), 2, 3, 0, observer);
  EXPECT_FALSE(elsewhere);
  EXPECT_GE(attempts.size(), 2u);
  ASSERT_FALSE(ended.empty());
  bool answerEnded = false;
  for (const TAttemptOutcome& outcome : ended)
    answerEnded |= outcome.Attempt == result.Answer.Attempt && outcome.Matched;
  EXPECT_TRUE(answerEnded);
}

TEST(RestartSearch, TheSeedIsAParameterNotTheThreadsSource) {
  TSampleData samples = Sine(2);
  TSearchParameters parameters = Improved();
  parameters.Threads = 2;
  const TRestartParameters restart = Searches(5);
  auto run = [&](std::uint32_t before, std::optional<std::uint32_t> seed, std::uint32_t& first) {
    SetSeed(before);
    parameters.Seed = seed;
    TAttemptCoordinator alone;
    TRestartSearch search(samples, parameters, restart, alone);
    first = search.FirstSeed();
    return search.Run({});
  };
  std::uint32_t first = 0;
  const TRestartResult given = run(1, 31, first);
  EXPECT_EQ(31u, first);
  ASSERT_TRUE(given.Answer.Matched);
  EXPECT_EQ(AttemptSeed(31, given.Answer.Attempt), given.Answer.Seed);
  ExpectSameAnswer(given.Answer, run(2, 31, first).Answer);

  // Without a seed the clock gives attempt 0 its seed, and that seed repeats the run.
  const TRestartResult clocked = run(3, std::nullopt, first);
  EXPECT_EQ(AttemptSeed(first, clocked.Answer.Attempt), clocked.Answer.Seed);
  const std::uint32_t clockSeed = first;
  ExpectSameAnswer(clocked.Answer, run(4, clockSeed, first).Answer);
}

TEST(RestartSearch, RestartSettingsHaveFieldsOfTheirOwn) {
  for (const TSearchSetting* setting : SearchSettings()) {
    TRestartParameters restart;
    const std::int64_t other = setting->Default == setting->Range.Maximum ? setting->Range.Minimum
                                                                          : setting->Range.Maximum;
    const bool own = ApplySetting(restart, *setting, other);
    EXPECT_EQ(setting == &RestartUnitSetting || setting == &AttemptsSetting ||
                  setting == &SizeLadderSetting || setting == &UnscaledAttemptsSetting ||
                  setting == &ShortProgramsSetting,
              own)
        << setting->Name;
    if (own) {
      EXPECT_NE(TRestartParameters{}, restart) << setting->Name;
    }
  }
  TRestartParameters restart;
  ASSERT_TRUE(ApplySetting(restart, AttemptsSetting, 9));
  EXPECT_EQ(9, restart.AttemptLimit);
  ASSERT_TRUE(ApplySetting(restart, SizeLadderSetting, 1));
  EXPECT_TRUE(restart.SizeLadder);
  ASSERT_TRUE(ApplySetting(restart, UnscaledAttemptsSetting, 0));
  EXPECT_FALSE(restart.UnscaledAttempts);
  EXPECT_TRUE(restart.ShortPrograms);
  ASSERT_TRUE(ApplySetting(restart, ShortProgramsSetting, 0));
  EXPECT_FALSE(restart.ShortPrograms);
  EXPECT_EQ(200, restart.Unit) << "the unit the time-to-solution figures were taken with";
}

TEST(RestartSearch, BestModeTurnsOnTheFiveAdditions) {
  const TSearchParameters best = WithBestModeAdditions(Plain());
  EXPECT_EQ(10, best.MinimumWindow);
  EXPECT_EQ(20, best.RefineTrials);
  EXPECT_TRUE(best.ScaledConstants);
  EXPECT_TRUE(best.LinearScaling);
  EXPECT_TRUE(best.MarginLine);
  TSearchParameters expected = Plain();
  expected.MinimumWindow = best.MinimumWindow;
  expected.RefineTrials = best.RefineTrials;
  expected.ScaledConstants = best.ScaledConstants;
  expected.LinearScaling = best.LinearScaling;
  expected.MarginLine = best.MarginLine;
  EXPECT_EQ(expected, best) << "nothing else changes";
}

TEST(RestartSearch, EveryAttemptsModelsAreFoundInTheOrderEachAttemptShowedThem) {
  // Ten attempts of 20 generations that cannot match: each shows several models.
  TSearchParameters hopeless = Plain();
  hopeless.RegisterCount = 1;
  hopeless.InstructionCount = 2;
  const std::thread::id caller = std::this_thread::get_id();
  std::map<std::int32_t, std::vector<TModelUpdate>> found;
  std::vector<TModelUpdate> shown;
  bool elsewhere = false;
  TRestartObserver observer;
  observer.ModelFound = [&](const TModelUpdate& update) {
    elsewhere |= std::this_thread::get_id() != caller;
    found[update.Attempt].push_back(update);
  };
  observer.ModelChanged = [&](const TModelUpdate& update) { shown.push_back(update); };
  const TRestartResult result = RunRestarts(5, hopeless, 2, 20, 10, observer);
  EXPECT_FALSE(elsewhere);
  EXPECT_EQ(10u, found.size()) << "models of every attempt";
  std::size_t count = 0;
  for (const auto& [attempt, models] : found) {
    count += models.size();
    for (std::size_t i = 1; i < models.size(); ++i)
      EXPECT_LE(models[i - 1].Generation, models[i].Generation) << "attempt " << attempt;
  }
  EXPECT_GT(count, shown.size()) << "more found than the run's best shown";
  // What was shown was found first; the answer last shown may be shown again at the end.
  for (const TModelUpdate& update : shown) {
    const std::vector<TModelUpdate>& models = found[update.Attempt];
    EXPECT_NE(models.end(), std::find_if(models.begin(), models.end(), [&](const TModelUpdate& m) {
                return m.Lines == update.Lines && m.Generation == update.Generation;
              }));
  }
  EXPECT_EQ(TSearchEnd::AttemptLimit, result.End);
}

namespace {

TRestartParameters Ladder(std::int64_t unit) {
  TRestartParameters restart = Searches(unit);
  restart.SizeLadder = true;
  return restart;
}

// A run with the ladder on the sine of seed, and the parameters of each of its attempts.
struct TLadderRun {
  TRestartResult Result;
  std::vector<TSearchParameters> Attempts;
};

// One register and one instruction cannot reproduce the sine sample: the answer comes from a
// larger level.
TSearchParameters Small() {
  TSearchParameters parameters = WithBestModeAdditions(Plain());
  parameters.RegisterCount = 1;
  parameters.InstructionCount = 1;
  parameters.PopulationSize = 30;
  return parameters;
}

TLadderRun RunLadder(std::uint32_t seed, std::int32_t threads) {
  TSampleData samples = Sine(seed);
  TSearchParameters parameters = Small();
  parameters.Seed = Seed();
  parameters.Threads = threads;
  TAttemptCoordinator alone;
  TRestartSearch search(samples, parameters, Ladder(5), alone);
  TLadderRun run{search.Run({}), {}};
  for (std::int64_t k = 0; k <= std::max<std::int64_t>(run.Result.Answer.Attempt, 2); ++k)
    run.Attempts.push_back(search.AttemptParameters(k));
  return run;
}

}  // namespace

TEST(RestartSearch, TheSizeLadderGivesTheSameAnswerForEveryThreadCountAndItsAttemptsReplay) {
  for (const std::uint32_t seed : {2u, 5u}) {
    SCOPED_TRACE(seed);
    const TLadderRun one = RunLadder(seed, 1);
    ASSERT_TRUE(one.Result.Answer.Matched);
    for (const std::int32_t threads : {2, 4}) {
      SCOPED_TRACE(threads);
      ExpectSameAnswer(one.Result.Answer, RunLadder(seed, threads).Result.Answer);
    }
    // Attempts 1 and 2 are the larger levels, their units of 5 generations shortened by the
    // population's factor.
    const TSearchParameters& first = one.Attempts[1];
    EXPECT_EQ(2, first.RegisterCount);
    EXPECT_EQ(2, first.InstructionCount);
    EXPECT_EQ(90, first.PopulationSize);
    EXPECT_EQ(300, one.Attempts[2].PopulationSize);
    EXPECT_EQ(1, one.Attempts[2].GenerationLimit);

    // The reported attempt run again as a plain search, at its own sizes, gives its model.
    const TAttemptOutcome& answer = one.Result.Answer;
    const TSearchParameters& replayed = one.Attempts[static_cast<std::size_t>(answer.Attempt)];
    EXPECT_GT(replayed.RegisterCount, 1) << "a larger level answers";
    TSampleData samples = Sine(seed);
    TSearchRun replay(samples, replayed);
    const TSearchResult result = replay.Run({});
    EXPECT_EQ(answer.Seed, replayed.Seed);
    EXPECT_TRUE(result.Matched);
    EXPECT_EQ(answer.Generations, result.Generations);
    EXPECT_EQ(answer.Lines, result.Lines);
  }
}

TEST(RestartSearch, WithoutTheSizeLadderEveryAttemptRunsTheGivenSizesForItsLubyLength) {
  TSampleData samples = Sine(4);
  TSearchParameters parameters = Improved();
  parameters.Seed = 77;
  parameters.Threads = 3;
  parameters.TimeLimit = std::chrono::seconds(5);
  const TRestartParameters restart = Searches(30);
  TAttemptCoordinator alone;
  const TRestartSearch search(samples, parameters, restart, alone);
  for (std::int64_t k = 0; k < 64; ++k) {
    TSearchParameters expected = parameters;
    expected.Seed = AttemptSeed(77, k);
    expected.GenerationLimit = 30 * Luby(k);
    expected.Threads = 1;
    expected.TimeLimit = std::chrono::milliseconds(0);
    EXPECT_EQ(expected, search.AttemptParameters(k)) << k;
    EXPECT_EQ(expected.GenerationLimit, search.AttemptLength(k)) << k;
  }
}

TEST(RestartSearch, WithLinearScalingEverySecondAttemptRunsUnscaledInASequenceOfItsOwn) {
  TSampleData samples = Sine(4);
  TSearchParameters parameters = Improved();
  parameters.LinearScaling = true;
  parameters.Seed = 77;
  TRestartParameters restart = Searches(30);
  TAttemptCoordinator alone;
  const TRestartSearch mixed(samples, parameters, restart, alone);
  restart.UnscaledAttempts = false;
  const TRestartSearch scaledOnly(samples, parameters, restart, alone);
  for (std::int64_t k = 0; k < 64; ++k) {
    const TSearchParameters attempt = mixed.AttemptParameters(k);
    EXPECT_EQ(k % 2 == 0, attempt.LinearScaling) << k;
    EXPECT_EQ(30 * Luby(k / 2), attempt.GenerationLimit) << k;
    EXPECT_EQ(AttemptSeed(77, k), attempt.Seed) << k;
    TSearchParameters rest = attempt;
    rest.LinearScaling = true;
    rest.GenerationLimit = 0;
    rest.Seed = 0;
    TSearchParameters expected = scaledOnly.AttemptParameters(k);
    EXPECT_TRUE(expected.LinearScaling);
    expected.GenerationLimit = 0;
    expected.Seed = 0;
    EXPECT_EQ(expected, rest) << "nothing else differs at " << k;
  }
  // Without scaling there is nothing to alternate.
  parameters.LinearScaling = false;
  restart.UnscaledAttempts = true;
  const TRestartSearch unscaled(samples, parameters, restart, alone);
  for (std::int64_t k = 0; k < 8; ++k)
    EXPECT_EQ(30 * Luby(k), unscaled.AttemptLength(k)) << k;
}

TEST(RestartSearch, AnUnscaledAttemptsAnswerIsTheSameForEveryThreadCountAndReplays) {
  // Units of one generation: the sine's answer comes from a later attempt; the seeds are
  // those whose answer is an unscaled one.
  TSearchParameters parameters = Improved();
  parameters.LinearScaling = true;
  std::int32_t unscaledAnswers = 0;
  for (const std::uint32_t seed : {2u, 3u, 5u, 9u}) {
    SCOPED_TRACE(seed);
    const TRestartResult one = RunRestarts(seed, parameters, 1, 1);
    ASSERT_TRUE(one.Answer.Matched);
    if (one.Answer.Attempt % 2 == 0) continue;
    ++unscaledAnswers;
    ExpectSameAnswer(one.Answer, RunRestarts(seed, parameters, 3, 1).Answer);
    const TSearchResult replay = Replay(seed, parameters, one.Answer, 1);
    EXPECT_TRUE(replay.Matched);
    EXPECT_EQ(one.Answer.Lines, replay.Lines);
  }
  EXPECT_GT(unscaledAnswers, 0) << "no seed gave an unscaled answer to check";
}

TEST(RestartSearch, TheMemoryCheckCountsTheLargestLevelOfTheLadder) {
  const std::optional<TMemoryLimit> limit = MemoryLimit();
  if (!limit) GTEST_SKIP() << "this system does not say how much memory there is";
  TSampleData samples = Sine(3);
  TSearchParameters parameters = Improved();
  parameters.PopulationSize = 20000;
  parameters.InstructionCount = 50;
  const auto bytes = [&](const TSearchParameters& p) {
    return SearchMemoryBytes(
        {p.PopulationSize, p.InstructionCount, p.RegisterCount, samples.Count()}, 1);
  };
  // Enough attempts side by side that a quarter of the memory holds them at the given size.
  const std::uint64_t given = bytes(parameters);
  parameters.Threads =
      static_cast<std::int32_t>(std::clamp<std::uint64_t>(limit->Bytes / given / 4, 1, INT32_MAX));
  const TSearchParameters largest = LadderSizes(parameters, 1, LadderLevels - 1);
  ASSERT_GT(bytes(largest) * static_cast<std::uint64_t>(parameters.Threads), limit->Bytes)
      << "the largest level must not fit for this check to say anything";
  TRestartParameters restart;
  const auto make = [&] {
    TAttemptCoordinator alone;
    const TRestartSearch search(samples, parameters, restart, alone);
  };
  EXPECT_NO_THROW(make());
  restart.SizeLadder = true;
  EXPECT_THROW(make(), TSearchMemoryError);
}

namespace {

// d1 d2 / (d2 + n d1) on inputs from [1, 5): four instructions of registers alone.
TSampleData Lens() {
  TRandomStream random(21);
  TSampleData samples(80, 3);
  for (std::int32_t i = 0; i < samples.Count(); ++i) {
    double v[3];
    for (std::int32_t j = 0; j < 3; ++j) {
      v[j] = 1 + 4 * random.Real();
      samples.SetX(i, j, v[j]);
    }
    samples.SetY(i, v[0] * v[1] / (v[1] + v[2] * v[0]));
  }
  samples.UpdateBounds();
  return samples;
}

// Attempt k's short programs, of the lengths min to max.
std::optional<TShortProgramPass> PassOf(const TRestartSearch& search, std::int64_t k,
                                        std::int32_t min, std::int32_t max) {
  const std::optional<TShortProgramPass> pass = search.ShortProgramPass(k);
  EXPECT_TRUE(pass) << k;
  if (pass) {
    EXPECT_EQ(min, pass->MinLength) << k;
    EXPECT_EQ(max, pass->MaxLength) << k;
  }
  return pass;
}

// The attempts shorts are short programs; every other attempt k is the search that was attempt
// k − (the short ones below k) without them, with its parameters.
void ExpectSearchesAround(const TRestartSearch& with, const TRestartSearch& without,
                          const std::vector<std::int64_t>& shorts) {
  for (std::int64_t k = 0; k < 40; ++k) {
    const bool isShort = std::find(shorts.begin(), shorts.end(), k) != shorts.end();
    EXPECT_EQ(isShort, with.IsShortProgramAttempt(k)) << k;
    EXPECT_FALSE(without.IsShortProgramAttempt(k)) << k;
    if (isShort) continue;
    const auto below = std::count_if(shorts.begin(), shorts.end(), [&](auto a) { return a < k; });
    EXPECT_EQ(without.AttemptParameters(k - below), with.AttemptParameters(k)) << k;
  }
}

}  // namespace

TEST(RestartSearch, AttemptOneTriesEveryShortProgramAndTheSearchesAreNumberedAroundIt) {
  TSampleData samples = Lens();
  TSearchParameters parameters = WithBestModeAdditions(Plain());
  parameters.MarginPercent = 1;
  parameters.Seed = 8;
  TAttemptCoordinator alone;
  const TRestartSearch with(samples, parameters, TRestartParameters{}, alone);
  const TRestartSearch without(samples, parameters, Searches(RestartUnitSetting.Default), alone);
  // Three inputs in three registers: attempt 1 tries every program up to four; those of five
  // are too many, so attempts 8 to 11 try, a quarter each, those that read every input.
  const std::optional<TShortProgramPass> pass = PassOf(with, 1, 1, 4);
  ASSERT_TRUE(pass);
  EXPECT_FALSE(pass->EveryInput);
  for (std::int64_t k = 8; k <= 11; ++k) {
    const std::optional<TShortProgramPass> part = PassOf(with, k, 5, 5);
    ASSERT_TRUE(part) << k;
    EXPECT_TRUE(part->EveryInput);
    EXPECT_EQ(k - 8, part->Part);
    EXPECT_EQ(4, part->Parts);
  }
  ExpectSearchesAround(with, without, {1, 8, 9, 10, 11});
  // Two registers: attempt 8 tries the programs of five, and the searches go around both.
  TSampleData sine = Sine(3);
  const TRestartSearch one(sine, parameters, TRestartParameters{}, alone);
  const TRestartSearch oneWithout(sine, parameters, Searches(RestartUnitSetting.Default), alone);
  const std::optional<TShortProgramPass> five = PassOf(one, 8, 5, 5);
  ASSERT_TRUE(five);
  EXPECT_FALSE(five->EveryInput);
  EXPECT_FALSE(one.IsShortProgramAttempt(9));
  // A register to spare: attempt 12 loads a constant first.
  const std::optional<TShortProgramPass> constant = PassOf(one, 12, 2, 4);
  ASSERT_TRUE(constant);
  EXPECT_TRUE(constant->Constant);
  EXPECT_FALSE(with.IsShortProgramAttempt(12)) << "three inputs in three registers";
  ExpectSearchesAround(one, oneWithout, {1, 8, 12});
  // Never longer than the search's programs.
  TSearchParameters shorter = parameters;
  shorter.InstructionCount = 3;
  const TRestartSearch three(sine, shorter, TRestartParameters{}, alone);
  ASSERT_TRUE(three.ShortProgramPass(1));
  EXPECT_EQ(3, three.ShortProgramPass(1)->MaxLength);
  EXPECT_FALSE(three.IsShortProgramAttempt(8));
  ASSERT_TRUE(three.ShortProgramPass(12));
  EXPECT_EQ(3, three.ShortProgramPass(12)->MaxLength);

  // Whatever the threads, the short programs' answer, shown with its caption.
  std::optional<TAttemptOutcome> first;
  for (const std::int32_t threads : {1, 2, 4}) {
    SCOPED_TRACE(threads);
    parameters.Threads = threads;
    TRestartSearch search(samples, parameters, TRestartParameters{}, alone);
    std::vector<std::string> captions;
    TRestartObserver observer;
    observer.ModelChanged = [&](const TModelUpdate& update) {
      captions.push_back(AttemptCaption(update));
    };
    const TRestartResult result = search.Run(observer);
    ASSERT_TRUE(result.Answer.Matched);
    EXPECT_EQ(1, result.Answer.Attempt);
    EXPECT_EQ(0, result.Answer.Generations);
    ASSERT_TRUE(result.Answer.Model);
    EXPECT_EQ(4, result.Answer.Model->InstructionCount());
    ASSERT_FALSE(captions.empty());
    EXPECT_EQ("attempt 1 \u00b7 short programs", captions.back());
    if (!first) first = result.Answer;
    ExpectSameAnswer(*first, result.Answer);
  }

  // Turned off, attempt 1 is a search like the others.
  TRestartParameters off = Searches(RestartUnitSetting.Default);
  off.AttemptLimit = 2;
  parameters.Threads = 2;
  TRestartSearch search(samples, parameters, off, alone);
  bool shortProgram = false;
  TRestartObserver observer;
  observer.ModelFound = [&](const TModelUpdate& update) { shortProgram |= update.ShortProgram; };
  const TRestartResult result = search.Run(observer);
  EXPECT_FALSE(shortProgram);
  if (result.Answer.Attempt == 1) {
    EXPECT_GT(result.Answer.Generations, 0);
  }
}
