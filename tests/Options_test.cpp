#include "cli/Options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string Option(const TSearchSetting& setting) {
  return "--" + std::string(setting.Name);
}

// The message of the refusal, or "accepted".
std::string Refusal(const std::vector<std::string>& arguments) {
  try {
    (void)ParseOptions(arguments);
  } catch (const std::invalid_argument& error) {
    return error.what();
  }
  return "accepted";
}

// The line of the help that starts with the option, empty when there is none.
std::string HelpLine(const std::string& help, const std::string& option) {
  std::istringstream lines(help);
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("  " + option + " ") || line == "  " + option) return line;
  }
  return {};
}

}  // namespace

TEST(Options, NothingGivenIsTheTablesDefaults) {
  const TCliOptions options = ParseOptions({});
  EXPECT_EQ(TSearchParameters{}, options.Search);
  EXPECT_EQ(TRestartParameters{}, options.Restart);
  EXPECT_FALSE(options.Restarts);
  EXPECT_FALSE(options.Search.Seed);
  EXPECT_EQ(2, options.Search.RegisterCount);
  EXPECT_EQ(0.1, options.Search.Margin());
}

TEST(Options, EveryNumberIsReadWithinItsRangeAndRefusedOutsideIt) {
  for (const TSearchSetting* setting : SearchSettings()) {
    if (setting->Value.empty()) continue;
    const std::string option = Option(*setting);
    SCOPED_TRACE(option);
    const TSettingRange& range = setting->Range;
    for (const std::int64_t value : {range.Minimum, range.Maximum}) {
      TSearchParameters search;
      TRestartParameters restart;
      if (!ApplySetting(search, *setting, value)) {
        ASSERT_TRUE(ApplySetting(restart, *setting, value));
      }
      const TCliOptions options = ParseOptions({option, std::to_string(value)});
      EXPECT_EQ(search, options.Search) << value;
      EXPECT_EQ(restart, options.Restart) << value;
    }
    const std::string bounds =
        "(" + std::to_string(range.Minimum) + ".." + std::to_string(range.Maximum) + ")";
    EXPECT_EQ(option + ": out of range " + bounds + ": " + std::to_string(range.Maximum + 1),
              Refusal({option, std::to_string(range.Maximum + 1)}));
    EXPECT_EQ(option + ": out of range " + bounds + ": " + std::to_string(range.Minimum - 1),
              Refusal({option, std::to_string(range.Minimum - 1)}));
    EXPECT_EQ(option + ": out of range " + bounds + ": 99999999999999999999",
              Refusal({option, "99999999999999999999"}));
    for (const std::string bad : {"lots", "10x", "", "+5", "1.5", " 3"}) {
      EXPECT_EQ(option + ": not a whole number: '" + bad + "'", Refusal({option, bad}));
    }
  }
}

TEST(Options, SwitchesAndTheirOffForms) {
  EXPECT_FALSE(ParseOptions({"--no-progressive"}).Search.Progressive);
  EXPECT_TRUE(ParseOptions({"--scaled-constants"}).Search.ScaledConstants);
  EXPECT_EQ(0, ParseOptions({"--min-window", "7", "--no-min-window"}).Search.MinimumWindow);
  // The later of two options wins, as each is read in its turn.
  EXPECT_EQ(5, ParseOptions({"--no-refine", "--refine", "5"}).Search.RefineTrials);
  EXPECT_EQ(4, ParseOptions({"--registers", "3", "--registers", "4"}).Search.RegisterCount);
  EXPECT_EQ(std::optional<std::uint32_t>(4294967295u),
            ParseOptions({"--seed=4294967295"}).Search.Seed);
  EXPECT_EQ(std::chrono::seconds(2), ParseOptions({"--time-limit", "2"}).Search.TimeLimit);
  EXPECT_EQ(7, ParseOptions({"--margin", "7"}).Search.MarginPercent);
}

TEST(Options, RestartsTurnOnEveryAdditionNotGivenOnItsOwn) {
  const TCliOptions best = ParseOptions({"--restarts"});
  EXPECT_TRUE(best.Restarts);
  EXPECT_EQ(10, best.Search.MinimumWindow);
  EXPECT_EQ(20, best.Search.RefineTrials);
  EXPECT_TRUE(best.Search.ScaledConstants);
  EXPECT_TRUE(best.Search.LinearScaling);

  EXPECT_EQ(0, best.Search.ConstantFitting) << "given alone, as a plain search's";
  EXPECT_EQ(2, ParseOptions({"--restarts", "--constant-fitting", "2"}).Search.ConstantFitting);
  EXPECT_EQ(
      0, ParseOptions({"--constant-fitting", "2", "--no-constant-fitting"}).Search.ConstantFitting);

  const TCliOptions some = ParseOptions({"--refine", "3", "--restarts", "--no-scaled-constants",
                                         "--no-min-window", "--no-linear-scaling"});
  EXPECT_EQ(3, some.Search.RefineTrials);
  EXPECT_FALSE(some.Search.ScaledConstants);
  EXPECT_FALSE(some.Search.LinearScaling);
  EXPECT_EQ(0, some.Search.MinimumWindow);

  const TCliOptions plain = ParseOptions({"--refine", "3"});
  EXPECT_EQ(0, plain.Search.MinimumWindow) << "a plain search keeps the others off";
  EXPECT_EQ(0, plain.Search.ConstantFitting);
  EXPECT_EQ(1, ParseOptions({"--constant-fitting", "1"}).Search.ConstantFitting);
  EXPECT_FALSE(plain.Search.ScaledConstants);
  EXPECT_FALSE(plain.Search.LinearScaling);
  EXPECT_TRUE(ParseOptions({"--linear-scaling"}).Search.LinearScaling);
}

TEST(Options, RefusalsNameTheOption) {
  const struct {
    std::vector<std::string> Arguments;
    std::string Message;
  } rows[] = {
      {{"--frobnicate"}, "unknown option: --frobnicate"},
      {{"--seed", "1", "stray"}, "unknown option: stray"},
      {{"-x"}, "unknown option: -x"},
      {{"--seed"}, "--seed: missing value"},
      {{"--seed", "--population", "200"}, "--seed: missing value"},
      {{"--samples", "--generations", "1"}, "--samples: missing value"},
      {{"--registers", "-h"}, "--registers: missing value"},
      {{"--x-column"}, "--x-column: missing value"},
      {{"--samples", ""}, "--samples: empty file name"},
      {{"--write-samples", ""}, "--write-samples: empty file name"},
      {{"--progress-file", ""}, "--progress-file: empty file name"},
      {{"--import", "a.csv", "--y-column", ""}, "--y-column: empty value"},
      {{"--x-column", "2"}, "--x-column and --y-column need --import"},
      {{"--import", "a.csv", "--samples", "b.mvs"}, "--import and --samples exclude each other"},
      {{"--emit", "fortran"},
       "--emit: not one of formula, formula-exact, latex, c, python: 'fortran'"},
      {{"--pick", "best"}, "--pick: not one of final, suggested: 'best'"},
      {{"--pick", "suggested"}, "--pick suggested: needs --holdout or --validation"},
      {{"--pick", "suggested", "--holdout", "0"},
       "--pick suggested: needs --holdout or --validation"},
      {{"--validation", ""}, "--validation: empty file name"},
      {{"--validation", "v.mvs", "--holdout", "10"},
       "--validation and --holdout: check the models on one or the other"},
      {{"--restarts", "--generations", "5"},
       "--generations limits a plain search; with --restarts use --attempts or --time-limit"},
      // The first fault on the line is the one told.
      {{"--registers", "99", "--frobnicate"}, "--registers: out of range (1..20): 99"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.Message, Refusal(row.Arguments)) << row.Arguments.front();
  }
  EXPECT_EQ("--registers: out of range (1..20): 99", Refusal({"--help", "--registers", "99"}))
      << "a fault comes before the help";
}

TEST(Options, TheOtherOptionsFillTheirFields) {
  const TCliOptions options = ParseOptions({"--import",
                                            "a.csv",
                                            "--x-column",
                                            "time",
                                            "--y-column",
                                            "3",
                                            "--random",
                                            "--write-samples",
                                            "w.mvs",
                                            "--progress-file",
                                            "p.csv",
                                            "--emit",
                                            "c",
                                            "--emit",
                                            "formula-exact",
                                            "-h",
                                            "--version",
                                            "--front",
                                            "--validation",
                                            "v.csv",
                                            "--pick",
                                            "suggested"});
  EXPECT_EQ("a.csv", options.Import.File);
  EXPECT_EQ(std::vector<std::string>{"time"}, options.Import.XColumns);
  EXPECT_EQ("3", options.Import.YColumn);
  EXPECT_TRUE(options.RandomSample);
  EXPECT_EQ("w.mvs", options.WriteSamplesFile);
  EXPECT_EQ("p.csv", options.ProgressFile);
  EXPECT_EQ((std::vector<std::string>{"c", "formula-exact"}), options.Emit);
  EXPECT_TRUE(options.Front);
  EXPECT_EQ("v.csv", options.ValidationFile);
  EXPECT_TRUE(options.PickSuggested);
  EXPECT_FALSE(
      ParseOptions({"--holdout", "20", "--pick", "suggested", "--pick", "final"}).PickSuggested);
  EXPECT_EQ(20, ParseOptions({"--holdout", "20"}).Search.HoldoutPercent);
  EXPECT_TRUE(options.Help);
  EXPECT_TRUE(options.Version);
}

TEST(Options, HelpGivesEverySettingWithItsRangeAndDefault) {
  const std::string help = Usage();
  for (const TSearchSetting* setting : SearchSettings()) {
    const std::string option = Option(*setting);
    SCOPED_TRACE(option);
    if (!setting->Value.empty()) {
      const std::string line = HelpLine(help, option + " " + std::string(setting->Value));
      ASSERT_FALSE(line.empty());
      // The option's lines up to the next option: its range and default are there, each
      // phrase whole, so that a search of the help finds them.
      const std::string start = help.substr(help.find(line));
      const std::string entry = start.substr(0, start.find("\n  -", 1));
      EXPECT_NE(std::string::npos, entry.find("(" + std::to_string(setting->Range.Minimum) + ".." +
                                              std::to_string(setting->Range.Maximum)))
          << entry;
      const std::string given = setting->Unset.empty()
                                    ? "default " + std::to_string(setting->Default)
                                    : "default: " + std::string(setting->Unset);
      EXPECT_NE(std::string::npos, entry.find(given)) << entry;
    }
    if (setting->OnOption) {
      EXPECT_FALSE(HelpLine(help, option).empty());
    }
    if (setting->OffOption) {
      EXPECT_FALSE(HelpLine(help, "--no-" + std::string(setting->Name)).empty());
    }
  }
  for (const std::string other :
       {"--samples FILE", "--import FILE", "--x-column NAME|N", "--write-samples FILE",
        "--progress-file FILE", "--emit FORM", "-h,--help", "--version", "--random",
        "--validation FILE", "--pick MODEL", "--front"}) {
    EXPECT_FALSE(HelpLine(help, other).empty()) << other;
  }
  EXPECT_TRUE(help.starts_with("usage: movar-search [options]\n"));
  EXPECT_NE(std::string::npos, help.find("Exit status: 0"));
  std::istringstream lines(help);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_LT(line.size(), 80u) << line;
  }
}
