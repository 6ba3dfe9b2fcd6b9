#pragma once
// Every setting of a search, declared once: its option name, default, range, unit and help.
// movar-search builds its options and its help from this table, the window's parameter
// boxes take their ranges and start values from it, and TSearchParameters its defaults.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

struct TSettingRange {
  std::int64_t Minimum = 0;
  std::int64_t Maximum = 0;
  std::int64_t Step = 1;  // what one click of the window's arrows adds

  [[nodiscard]] constexpr bool Holds(std::int64_t value) const noexcept {
    return value >= Minimum && value <= Maximum;
  }
};

// Where the help lists a setting.
enum class TSettingGroup { Search, Restarts, Additions };

struct TSearchSetting {
  std::string_view Name{};   // the option is --Name
  std::string_view Value{};  // the value's name in the help; empty: a switch, 0 off and 1 on
  std::int64_t Default = 0;
  TSettingRange Range{0, 1};  // what the command line accepts
  // Not empty: Default lies outside Range and means this ("no limit").
  std::string_view Unset{};
  std::string_view Unit{};  // of Default, as the help names it ("generations")
  std::string_view Help{};
  std::string_view Note{};  // said after the range and the default
  // The window's box where it offers less than the command line, with its step.
  std::optional<TSettingRange> Window{};
  std::optional<std::int64_t> BestMode{};  // the default when restarts are on
  bool OnOption = false;                   // a switch: --Name turns it on
  bool OffOption = false;                  // --no-Name turns it off; a number: sets it to 0
  TSettingGroup Group = TSettingGroup::Search;

  // The range the window offers: Window, or else the whole Range.
  [[nodiscard]] constexpr TSettingRange WindowRange() const noexcept {
    return Window.value_or(Range);
  }
};

inline constexpr std::int64_t LargestCount = INT32_MAX;

inline constexpr TSearchSetting SeedSetting{
    .Name = "seed",
    .Value = "N",
    .Range = {0, UINT32_MAX},
    .Unset = "from the clock",
    .Help = "the random source's seed",
    .Note = "a generated sample is drawn from it first, and the search goes on from there"};

inline constexpr TSearchSetting RegistersSetting{.Name = "registers",
                                                 .Value = "N",
                                                 .Default = 2,
                                                 .Range = {1, 20},
                                                 .Help = "registers per program"};

inline constexpr TSearchSetting InstructionsSetting{.Name = "instructions",
                                                    .Value = "N",
                                                    .Default = 5,
                                                    .Range = {1, 1000},
                                                    .Help = "instructions per program",
                                                    .Window = TSettingRange{2, 100}};

inline constexpr TSearchSetting PopulationSetting{.Name = "population",
                                                  .Value = "N",
                                                  .Default = 100,
                                                  .Range = {1, 1000000},
                                                  .Help = "population size",
                                                  .Window = TSettingRange{100, 32000, 10}};

inline constexpr TSearchSetting MarginSetting{.Name = "margin",
                                              .Value = "P",
                                              .Default = 10,
                                              .Range = {0, 40},
                                              .Unit = "percent",
                                              .Help = "margin of error"};

inline constexpr TSearchSetting ProgressiveSetting{
    .Name = "progressive",
    .Default = 1,
    .Help = "progressive search",
    .Note =
        "the samples scored grow by a tenth of the set whenever the best error falls "
        "below 0.0001",
    .OffOption = true};

inline constexpr TSearchSetting GenerationsSetting{
    .Name = "generations",
    .Value = "N",
    .Range = {1, LargestCount},
    .Unset = "no limit",
    .Help = "end the search after at most N generations"};

inline constexpr TSearchSetting ThreadsSetting{
    .Name = "threads",
    .Value = "N",
    .Range = {1, 1024},
    .Unset = "all cores",
    .Help = "threads used to score the population",
    .Note = "with --restarts, attempts run side by side, one on each thread"};

inline constexpr TSearchSetting TimeLimitSetting{.Name = "time-limit",
                                                 .Value = "S",
                                                 .Range = {1, 31536000},
                                                 .Unset = "no limit",
                                                 .Unit = "seconds",
                                                 .Help = "end the search after about S seconds"};

inline constexpr TSearchSetting HoldoutSetting{
    .Name = "holdout",
    .Value = "P",
    .Range = {0, 50},
    .Unit = "percent",
    .Help = "keep P % of the samples out of the search and check its models on them",
    .Note = "the rows are drawn from the seed"};

inline constexpr TSearchSetting RestartsSetting{
    .Name = "restarts",
    .Help =
        "run attempts of 1, 1, 2, 1, 1, 2, 4, ... units of generations, each a new search "
        "with a seed of its own, with every addition below turned on",
    .OnOption = true,
    .Group = TSettingGroup::Restarts};

inline constexpr TSearchSetting RestartUnitSetting{.Name = "restart-unit",
                                                   .Value = "U",
                                                   .Default = 200,
                                                   .Range = {1, LargestCount},
                                                   .Unit = "generations",
                                                   .Help = "generations in one unit",
                                                   .Group = TSettingGroup::Restarts};

inline constexpr TSearchSetting AttemptsSetting{.Name = "attempts",
                                                .Value = "N",
                                                .Range = {1, LargestCount},
                                                .Unset = "no limit",
                                                .Help = "end after N attempts",
                                                .Group = TSettingGroup::Restarts};

inline constexpr TSearchSetting SizeLadderSetting{
    .Name = "size-ladder",
    .Help =
        "run attempt k at size level k mod 3: the given registers, instructions and population; "
        "one more register, twice the instructions and three times the population; two more, "
        "four times and ten times. Each level runs the sequence of lengths of its own, in units "
        "shortened by its population's factor",
    .OnOption = true,
    .OffOption = true,
    .Group = TSettingGroup::Restarts};

inline constexpr TSearchSetting UnscaledAttemptsSetting{
    .Name = "unscaled-attempts",
    .Default = 1,
    .Help =
        "with linear scaling, every second attempt runs without it, each half the sequence of "
        "lengths of its own: some laws are found sooner unscaled",
    .OnOption = true,
    .OffOption = true,
    .Group = TSettingGroup::Restarts};

inline constexpr TSearchSetting ShortProgramsSetting{
    .Name = "short-programs",
    .Default = 1,
    .Help =
        "attempt 1 tries every program of 1 to 4 register-only instructions, attempt 8 every "
        "one of 5 where there are few enough (two registers), or with three inputs or more "
        "attempts 8 to 11 those of 5 that read every input, and with linear scaling and a "
        "register to spare attempt 12 those of 2 to 4 whose first instruction loads a constant "
        "(solved from three samples, and with powers), never more than --instructions: "
        "shortest first, plain and linearly scaled, instead of a search, each for a fixed "
        "amount of work",
    .OnOption = true,
    .OffOption = true,
    .Group = TSettingGroup::Restarts};

inline constexpr TSearchSetting MinimumWindowSetting{
    .Name = "min-window",
    .Value = "N",
    .Range = {0, LargestCount},
    .Unit = "samples",
    .Help = "the progressive window starts with at least N samples",
    .BestMode = 10,
    .OffOption = true,
    .Group = TSettingGroup::Additions};

inline constexpr TSearchSetting RefineSetting{
    .Name = "refine",
    .Value = "N",
    .Range = {0, 1000000},
    .Unit = "changes",
    .Help = "try N changes of the best program per generation",
    .BestMode = 20,
    .OffOption = true,
    .Group = TSettingGroup::Additions};

inline constexpr TSearchSetting ScaledConstantsSetting{
    .Name = "scaled-constants",
    .Help = "the refiner draws constants at useful scales",
    .BestMode = 1,
    .OnOption = true,
    .OffOption = true,
    .Group = TSettingGroup::Additions};

inline constexpr TSearchSetting ConstantFittingSetting{
    .Name = "constant-fitting",
    .Value = "N",
    .Range = {0, 1000},
    .Unit = "programs",
    .Help = "fit the constants of the N best programs per generation by least squares",
    .OffOption = true,
    .Group = TSettingGroup::Additions};

inline constexpr TSearchSetting LinearScalingSetting{
    .Name = "linear-scaling",
    .Help =
        "score each program as a*f+b with the least-squares a and b; the model shown ends "
        "with var[0] *= a; var[0] += b;",
    .BestMode = 1,
    .OnOption = true,
    .OffOption = true,
    .Group = TSettingGroup::Additions};

inline constexpr TSearchSetting MarginLineSetting{
    .Name = "margin-line",
    .Help =
        "with linear scaling, where the least-squares a and b miss a sample, take the a and b "
        "nearest them of those that put every sample within its margin, if there are any",
    .BestMode = 1,
    .OnOption = true,
    .OffOption = true,
    .Group = TSettingGroup::Additions};

inline constexpr TSearchSetting RankByMatchesSetting{
    .Name = "rank-by-matches",
    .Help =
        "rank programs by the samples they miss first and by their error second; the test of a "
        "match is unchanged, and at margin 0 the error alone ranks",
    .OnOption = true,
    .OffOption = true,
    .Group = TSettingGroup::Additions};

inline constexpr TSearchSetting MarginWeightsSetting{
    .Name = "margin-weights",
    .Help =
        "weight each sample's error by the inverse of its margin's width on the side it misses, "
        "which is thinnest near the lowest and highest y; at margin 0 no error is weighted",
    .OnOption = true,
    .OffOption = true,
    .Group = TSettingGroup::Additions};

inline constexpr TSearchSetting PointMutationsSetting{
    .Name = "point-mutations",
    .Value = "P",
    .Range = {0, 100},
    .Unit = "percent",
    .Help =
        "make P % of the programs that each generation draws anew by changing one operation, "
        "operand or constant of a program that won a tournament of three",
    .OffOption = true,
    .Group = TSettingGroup::Additions};

// In the order the help lists them.
inline constexpr std::array<const TSearchSetting*, 25> SearchSettingTable{
    &SeedSetting,          &RegistersSetting,   &InstructionsSetting,     &PopulationSetting,
    &MarginSetting,        &ProgressiveSetting, &GenerationsSetting,      &ThreadsSetting,
    &TimeLimitSetting,     &HoldoutSetting,     &RestartsSetting,         &RestartUnitSetting,
    &AttemptsSetting,      &SizeLadderSetting,  &UnscaledAttemptsSetting, &ShortProgramsSetting,
    &MinimumWindowSetting, &RefineSetting,      &ScaledConstantsSetting,  &ConstantFittingSetting,
    &LinearScalingSetting, &MarginLineSetting,  &RankByMatchesSetting,    &MarginWeightsSetting,
    &PointMutationsSetting};

[[nodiscard]] constexpr std::span<const TSearchSetting* const> SearchSettings() noexcept {
  return SearchSettingTable;
}
