#include "core/search/SearchRun.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "core/model/DecimalSeparator.h"
#include "core/model/Random.h"

namespace {

TSampleData Sine(int count) {
  TSampleData s(count);
  s.GenerateSine();
  return s;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\n";
  return text;
}

}  // namespace

TEST(SearchRun, ReportLinesUseTheDecimalSeparatorForTheMarginOnly) {
  EXPECT_EQ(Joined({"// model correctness: 37 of 100", "// margin of error: 10.00%",
                    "// model clones: 12"}),
            Joined(ReportLines(37, 100, 0.1, 12)));
  SetDecimalSeparator(",");
  EXPECT_EQ("// margin of error: 7,00%", ReportLines(0, 0, 0.07, 0)[1]);
  SetDecimalSeparator(".");
  EXPECT_EQ("// margin of error: 0.00%", ReportLines(0, 0, 0, 0)[1]);
  EXPECT_EQ("// margin of error: 40.00%", ReportLines(0, 0, 0.4, 0)[1]);
}

TEST(SearchRun, ElapsedTimeShowsHoursMinutesSecondsWithoutWrapping) {
  using std::chrono::milliseconds;
  EXPECT_EQ("0h0m0s", FormatElapsed(milliseconds(999)));
  EXPECT_EQ("0h1m1s", FormatElapsed(milliseconds(61000)));
  EXPECT_EQ("25h0m0s", FormatElapsed(milliseconds(25LL * 3600 * 1000)));
  EXPECT_EQ("1h59m59s", FormatElapsed(milliseconds(2 * 3600 * 1000 - 1)));
}

TEST(SearchRun, SineSampleFromAFixedSeedIsFoundAndReproduced) {
  auto run = [] {
    SetSeed(1);
    TSampleData samples = Sine(100);
    TSearchParameters parameters;
    parameters.RegisterCount = 2;
    parameters.GenerationLimit = 300;
    parameters.Seed = Seed();  // the stream the sample was drawn from
    TSearchRun search(samples, parameters);
    int updates = 0;
    int lastGeneration = 0;
    TSearchObserver observer;
    std::vector<std::string> found;
    observer.ModelFound = [&](const TModelUpdate& update) {
      found.push_back(Joined(update.Lines));
    };
    observer.ModelChanged = [&](const TModelUpdate& update) {
      // A plain run finds exactly what it shows, just before it shows it.
      EXPECT_EQ(static_cast<std::size_t>(updates + 1), found.size());
      EXPECT_EQ(Joined(update.Lines), found.back());
      ++updates;
      EXPECT_EQ(100u, update.Predictions.size());
      EXPECT_EQ(100, update.SampleCount);
      EXPECT_EQ("double model(double valueX) {", update.Lines.at(3));
      EXPECT_EQ("}", update.Lines.back());
    };
    observer.GenerationDone = [&](std::int32_t generation, std::chrono::milliseconds) {
      EXPECT_EQ(lastGeneration + 1, generation);
      lastGeneration = generation;
    };
    TSearchResult result = search.Run(observer);
    EXPECT_EQ(result.Generations, lastGeneration);
    EXPECT_GE(updates, 1);
    return result;
  };
  const TSearchResult first = run();
  EXPECT_TRUE(first.Matched);
  EXPECT_EQ("// model correctness: 100 of 100", first.Lines.at(0));
  const TSearchResult second = run();
  EXPECT_EQ(first.Generations, second.Generations);
  EXPECT_EQ(Joined(first.Lines), Joined(second.Lines));
}

TEST(SearchRun, EmptySetEndsAfterOneGenerationWithZeroOfZero) {
  TSampleData samples(0);
  TSearchRun search(samples, TSearchParameters{});
  const TSearchResult result = search.Run({});
  EXPECT_TRUE(result.Matched);
  EXPECT_EQ(1, result.Generations);
  EXPECT_EQ("// model correctness: 0 of 0", result.Lines.at(0));
}

TEST(SearchRun, StopTakesEffectAfterTheGenerationInProgress) {
  SetSeed(4);
  TSampleData samples = Sine(100);
  TSearchParameters parameters;
  parameters.RegisterCount = 1;
  parameters.MarginPercent = 0;
  parameters.Seed = Seed();
  TSearchRun search(samples, parameters);
  bool stop = false;
  TSearchObserver observer;
  observer.StopRequested = [&] { return stop; };
  observer.GenerationDone = [&](std::int32_t generation, std::chrono::milliseconds) {
    if (generation == 3) stop = true;
  };
  const TSearchResult result = search.Run(observer);
  EXPECT_FALSE(result.Matched);
  EXPECT_EQ(TSearchEnd::Stopped, result.End);
  EXPECT_EQ(3, result.Generations);
  EXPECT_EQ(0.0, samples.GetMargin()) << "the run sets the margin of the lent set";
}

TEST(SearchRun, ARunSaysWhichLimitEndedIt) {
  SetSeed(4);
  TSampleData samples = Sine(100);
  TSearchParameters parameters;
  parameters.MarginPercent = 0;
  parameters.GenerationLimit = 3;
  parameters.Seed = 4;
  const TSearchResult counted = TSearchRun(samples, parameters).Run({});
  EXPECT_EQ(TSearchEnd::GenerationLimit, counted.End);
  EXPECT_EQ(3, counted.Generations);
  EXPECT_EQ("ended by the generation limit: " + std::to_string(counted.Matches) +
                " of 100 samples matched",
            SearchEndText(counted.End, counted.Matches, 100));

  parameters.GenerationLimit = 0;
  parameters.TimeLimit = std::chrono::milliseconds(50);
  const TSearchResult timed = TSearchRun(samples, parameters).Run({});
  EXPECT_EQ(TSearchEnd::TimeLimit, timed.End);
  EXPECT_FALSE(timed.Matched);
  EXPECT_GE(timed.Elapsed, std::chrono::milliseconds(50));

  // A match in the last generation the limit allows is a match.
  SetSeed(1);
  TSampleData sine = Sine(100);
  TSearchParameters exact;
  exact.RegisterCount = 2;
  exact.GenerationLimit = 56;  // where the sine sample from seed 1 is matched
  exact.Seed = Seed();
  const TSearchResult matched = TSearchRun(sine, exact).Run({});
  EXPECT_TRUE(matched.Matched);
  EXPECT_EQ(56, matched.Generations);
  EXPECT_EQ(TSearchEnd::Matched, matched.End);

  EXPECT_EQ("every sample matched (100)", SearchEndText(TSearchEnd::Matched, 100, 100));
  EXPECT_EQ("ended by the time limit: 1 of 1 sample matched",
            SearchEndText(TSearchEnd::TimeLimit, 1, 1));
  EXPECT_EQ("ended by the attempt limit: 7 of 20 samples matched",
            SearchEndText(TSearchEnd::AttemptLimit, 7, 20));
  EXPECT_EQ("stopped: 0 of 20 samples matched", SearchEndText(TSearchEnd::Stopped, 0, 20));
}

TEST(SearchRun, SlicedScoringPumpsAndGivesTheSameResult) {
  auto run = [](bool pump) {
    SetSeed(8);
    TSampleData samples = Sine(100);
    TSearchParameters parameters;
    parameters.PopulationSize = 300;
    parameters.InstructionCount = 12;
    parameters.RegisterCount = 3;
    parameters.GenerationLimit = 25;
    parameters.Seed = Seed();
    TSearchRun search(samples, parameters);
    int pumps = 0;
    TSearchObserver observer;
    if (pump) observer.Pump = [&] { ++pumps; };
    TSearchResult result = search.Run(observer);
    if (pump) {
      EXPECT_GE(pumps, result.Generations);
    }
    return Joined(result.Lines) + std::to_string(result.Generations);
  };
  EXPECT_EQ(run(false), run(true));
}

TEST(SearchRun, SlicedScoringStillSharesTheWorkAmongThreads) {
  // The window's search: small slices, each scored on the calling thread alone, would leave
  // the other cores idle for the whole search.
  for (const bool progressive : {false, true}) {
    SetSeed(4);
    TSampleData samples = Sine(100);
    TSearchParameters parameters;
    parameters.PopulationSize = 1000;
    parameters.InstructionCount = 20;
    parameters.RegisterCount = 4;
    parameters.Progressive = progressive;
    parameters.GenerationLimit = 3;
    parameters.Threads = 2;
    parameters.Seed = Seed();
    TSearchRun run(samples, parameters);
    TSearchObserver observer;
    observer.Pump = [] {};
    run.Run(observer);
    EXPECT_GE(run.Search().ParallelScorings(), 3) << "progressive " << progressive;
  }
}

TEST(SearchRun, ProgressReportsEveryGenerationWithItsBestError) {
  SetSeed(5);
  TSampleData samples = Sine(100);
  TSearchParameters parameters;
  parameters.RegisterCount = 1;
  parameters.GenerationLimit = 20;
  parameters.Progressive = false;
  const std::uint32_t seed = Seed();
  parameters.Seed = seed;
  TSearchRun run(samples, parameters);
  std::vector<TSearchProgress> points;
  TSearchObserver observer;
  observer.Progress = [&](const TSearchProgress& point) {
    EXPECT_EQ(run.Search().Threshold(), point.BestError);
    points.push_back(point);
  };
  const TSearchResult result = run.Run(observer);
  ASSERT_EQ(static_cast<std::size_t>(result.Generations), points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    EXPECT_EQ(static_cast<std::int32_t>(i + 1), points[i].Generation);
    EXPECT_EQ(0, points[i].Attempt);
    EXPECT_EQ(seed, points[i].Seed);
    // On a fixed window the best error never rises: the best is kept and scored again.
    if (i > 0) {
      EXPECT_LE(points[i].BestError, points[i - 1].BestError);
    }
  }
}

TEST(SearchRun, ShownModelsCarryTheirErrorOverEverySampleAsTheSearchSumsIt) {
  // Without the progressive window the search scores every sample, so the error of a new
  // best is the one the search ranked it by.
  SetSeed(8);
  TSampleData samples = Sine(100);
  TSearchParameters parameters;
  parameters.RegisterCount = 1;
  parameters.GenerationLimit = 30;
  parameters.Progressive = false;
  parameters.Seed = Seed();
  TSearchRun run(samples, parameters);
  int shown = 0;
  TSearchObserver observer;
  observer.ModelChanged = [&](const TModelUpdate& update) {
    ++shown;
    EXPECT_EQ(run.Search().Threshold(), update.Error);
    TTuringEvaluator best = run.Search().GetProgram(0);
    EXPECT_EQ(
        TMovar::Score(best, samples, samples.Count() - 1, std::numeric_limits<double>::infinity()),
        update.Error);
  };
  run.Run(observer);
  EXPECT_GT(shown, 1);
}

// The elapsed time counts from when the command began, before the parameters were read and
// the search was made, not from the first generation.
TEST(SearchRun, ElapsedTimeCountsFromTheCommandsStart) {
  SetSeed(5);
  TSampleData samples = Sine(100);
  TSearchParameters parameters;
  parameters.RegisterCount = 1;
  parameters.GenerationLimit = 1;
  parameters.Seed = Seed();
  const auto began = std::chrono::steady_clock::now() - std::chrono::hours(1);
  TSearchRun run(samples, parameters, began);
  std::chrono::milliseconds shown{0};
  TSearchObserver observer;
  observer.GenerationDone = [&shown](std::int32_t, std::chrono::milliseconds elapsed) {
    shown = elapsed;
  };
  const TSearchResult result = run.Run(observer);
  EXPECT_GE(shown, std::chrono::hours(1));
  EXPECT_EQ(shown, result.Elapsed);
  EXPECT_EQ("1h0m", FormatElapsed(result.Elapsed).substr(0, 4));
}

TEST(SearchRun, TheSeedIsAParameterAndTheRunSaysWhichItUsed) {
  SetSeed(3);
  TSampleData samples = Sine(100);
  // Whatever the thread's source holds before, the run starts from the seed it is given.
  auto run = [&samples](std::uint32_t before, std::optional<std::uint32_t> seed) {
    SetSeed(before);
    (void)RandomInt(1000);
    TSearchParameters parameters;
    parameters.MarginPercent = 0;  // no match: every run has all its generations
    parameters.GenerationLimit = 40;
    parameters.Seed = seed;
    TSearchRun search(samples, parameters);
    TSearchResult result = search.Run({});
    EXPECT_EQ(search.StartSeed(), result.Seed);
    return result;
  };
  const TSearchResult first = run(1, 77);
  EXPECT_EQ(77u, first.Seed);
  const TSearchResult second = run(2, 77);
  EXPECT_EQ(first.Lines, second.Lines);
  EXPECT_EQ(40, second.Generations);
  EXPECT_NE(first.Lines, run(1, 78).Lines) << "the seed decides the run";

  // Without a seed the clock gives one, and the run names it: that seed repeats the run.
  const TSearchResult clocked = run(4, std::nullopt);
  EXPECT_EQ(clocked.Lines, run(5, clocked.Seed).Lines);
}

TEST(SearchRun, ThePopulationIsDrawnAsWhenTheCallerSeededTheSource) {
  SetSeed(3);
  TSampleData samples = Sine(100);
  samples.SetMargin(0.1);
  SetSeed(11);
  TMovar expected(5, 100, 2);
  expected.SetSamples(samples);
  const std::uint32_t after = Seed();

  SetSeed(12345);
  TSearchParameters parameters;
  parameters.Seed = 11;
  TSearchRun run(samples, parameters);
  EXPECT_EQ(after, Seed()) << "the same draws, in the same order";
  for (std::int32_t i = 0; i < 100; ++i) {
    ASSERT_EQ(expected.GetProgram(i).EmitSource(), run.Search().GetProgram(i).EmitSource()) << i;
  }
}

TEST(SearchRun, RegistersAreRaisedToTheInputCountWithANote) {
  EXPECT_EQ(std::nullopt, RegisterRaiseNote(4, 1));
  EXPECT_EQ(std::nullopt, RegisterRaiseNote(3, 3));
  EXPECT_EQ(std::nullopt, RegisterRaiseNote(25, 16));
  EXPECT_EQ("The samples have 3 inputs, so the search uses 3 registers instead of 2.",
            RegisterRaiseNote(2, 3));
  EXPECT_EQ("The samples have 16 inputs, so the search uses 16 registers instead of 1.",
            RegisterRaiseNote(0, 16));
  EXPECT_EQ(8, SearchRegisters(2, 8));
  EXPECT_EQ(30, SearchRegisters(30, 8));
}

TEST(SearchRun, ModelOfTwoInputsIsFoundShownAndPredictedOnEveryRow) {
  TSampleData samples(30, 2);
  for (std::int32_t j = 0; j < samples.Count(); ++j) {
    samples.SetX(j, 0, j % 6);
    samples.SetX(j, 1, j / 6 + 0.5);
    samples.SetY(j, samples.GetX(j, 0) * samples.GetX(j, 1));
  }
  TSearchParameters parameters;
  parameters.RegisterCount = 1;
  parameters.Progressive = false;
  parameters.GenerationLimit = 3000;
  parameters.Seed = 4;
  TSearchRun run(samples, parameters);
  EXPECT_EQ(2, run.Search().GetProgram(0).RegisterCount());
  const TSearchResult result = run.Run({});
  ASSERT_TRUE(result.Matched);
  ASSERT_TRUE(result.Model);
  EXPECT_EQ("double model(double valueX1, double valueX2) {", result.Lines.at(3));
  TTuringEvaluator model = *result.Model;
  for (std::int32_t j = 0; j < samples.Count(); ++j)
    EXPECT_TRUE(samples.WithinMargin(j, model.Execute(samples.Inputs(j)))) << j;
}

// With linear scaling the search ranks each program by the error of its fit, and the model it
// shows is the program with the two scaling instructions: their errors must be one and the
// same, and so must the run on one thread and on several.
TEST(SearchRun, ScaledModelsAreShownWithTheErrorTheSearchRankedThemBy) {
  TSampleData samples(40, 2);
  for (std::int32_t j = 0; j < samples.Count(); ++j) {
    samples.SetX(j, 0, j % 8 * 0.37 + 1);
    samples.SetX(j, 1, j / 8 + 0.5);
    samples.SetY(j, -3.7 * samples.GetX(j, 0) * samples.GetX(j, 1) + 12.25);
  }
  TSearchParameters parameters;
  parameters.Progressive = false;
  parameters.LinearScaling = true;
  parameters.GenerationLimit = 2000;
  parameters.Seed = 6;
  std::vector<std::string> lines;
  for (const std::int32_t threads : {1, 3}) {
    parameters.Threads = threads;
    TSearchRun run(samples, parameters);
    int shown = 0;
    TSearchObserver observer;
    observer.ModelChanged = [&](const TModelUpdate& update) {
      ++shown;
      EXPECT_EQ(run.Search().Threshold(), update.Error) << "update " << shown;
      const TTuringEvaluator& model = *update.Model;
      EXPECT_EQ(opMul, model.GetInstruction(model.InstructionCount() - 2).Op);
      EXPECT_EQ(opAdd, model.GetInstruction(model.InstructionCount() - 1).Op);
    };
    const TSearchResult result = run.Run(observer);
    ASSERT_TRUE(result.Matched) << threads << " threads";
    EXPECT_GT(shown, 0);
    if (lines.empty()) {
      lines = result.Lines;
    } else {
      EXPECT_EQ(Joined(lines), Joined(result.Lines)) << threads << " threads";
    }
  }
}

// y = x on 0 .. 10 but 7 at x = 5: least squares lifts every program of x above the highest y,
// so a search of one instruction ends its generations without a match; with the margin's line
// the shown model matches every sample, the scaling its last two instructions.
TEST(SearchRun, TheMarginLineEndsASearchThatLeastSquaresCannot) {
  TSampleData samples(11);
  for (std::int32_t j = 0; j < samples.Count(); ++j) {
    samples.SetX(j, j);
    samples.SetY(j, j == 5 ? 7 : j);
  }
  samples.UpdateBounds();
  TSearchParameters parameters;
  parameters.RegisterCount = 1;
  parameters.InstructionCount = 1;
  parameters.PopulationSize = 20;
  parameters.MarginPercent = 30;
  parameters.Progressive = false;
  parameters.LinearScaling = true;
  parameters.GenerationLimit = 300;
  parameters.Seed = 4;
  const TSearchResult squares = TSearchRun(samples, parameters).Run({});
  EXPECT_FALSE(squares.Matched);
  EXPECT_EQ(300, squares.Generations);

  parameters.MarginLine = true;
  const TSearchResult lined = TSearchRun(samples, parameters).Run({});
  ASSERT_TRUE(lined.Matched);
  EXPECT_LT(lined.Generations, 300);
  EXPECT_EQ(11, lined.Matches);
  ASSERT_TRUE(lined.Model);
  const std::int32_t last = lined.Model->InstructionCount() - 1;
  EXPECT_EQ(opMul, lined.Model->GetInstruction(last - 1).Op);
  EXPECT_EQ(opAdd, lined.Model->GetInstruction(last).Op);
  // Without scaling the setting changes nothing.
  parameters.LinearScaling = false;
  const TSearchResult unscaled = TSearchRun(samples, parameters).Run({});
  parameters.MarginLine = false;
  const TSearchResult without = TSearchRun(samples, parameters).Run({});
  EXPECT_EQ(without.Generations, unscaled.Generations);
  EXPECT_EQ(Joined(without.Lines), Joined(unscaled.Lines));
}
