#include "Options.h"

#include <charconv>
#include <stdexcept>

namespace {

template <typename T>
T ParseNumber(const std::string& option, const std::string& text, long long low, long long high) {
  long long value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || ptr != end || error == std::errc::invalid_argument) {
    throw std::invalid_argument(option + ": not a whole number: '" + text + "'");
  }
  if (error == std::errc::result_out_of_range || value < low || value > high) {
    throw std::invalid_argument(option + ": out of range (" + std::to_string(low) + ".." +
                                std::to_string(high) + "): " + text);
  }
  return static_cast<T>(value);
}

}  // namespace

TCliOptions ParseOptions(const std::vector<std::string>& arguments) {
  TCliOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size()) throw std::invalid_argument(option + ": missing value");
      return arguments[++i];
    };
    if (option == "--seed") {
      options.Seed = ParseNumber<std::uint32_t>(option, value(), 0, 4294967295LL);
    } else if (option == "--registers") {
      options.Registers = ParseNumber<std::int32_t>(option, value(), 1, 20);
    } else if (option == "--instructions") {
      options.Instructions = ParseNumber<std::int32_t>(option, value(), 1, 1000);
    } else if (option == "--population") {
      options.Population = ParseNumber<std::int32_t>(option, value(), 1, 1000000);
    } else if (option == "--margin") {
      options.MarginPercent = ParseNumber<std::int32_t>(option, value(), 0, 40);
    } else if (option == "--no-progressive") {
      options.Progressive = false;
    } else if (option == "--random") {
      options.RandomSample = true;
    } else if (option == "--samples") {
      options.SamplesFile = value();
    } else if (option == "--write-samples") {
      options.WriteSamplesFile = value();
    } else if (option == "--generations") {
      options.Generations = ParseNumber<std::int64_t>(option, value(), 1, INT32_MAX);
    } else if (option == "--threads") {
      options.Threads = ParseNumber<std::int32_t>(option, value(), 1, 1024);
    } else if (option == "--emit") {
      const std::string& form = value();
      if (form != "formula" && form != "latex" && form != "c" && form != "python") {
        throw std::invalid_argument(option + ": not one of formula, latex, c, python: '" + form +
                                    "'");
      }
      options.Emit.push_back(form);
    } else if (option == "--help") {
      options.Help = true;
    } else {
      throw std::invalid_argument("unknown option: " + option);
    }
  }
  return options;
}

const char* Usage() noexcept {
  return R"(usage: movar-search [options]
Searches for a model that reproduces a sample set and prints it.
  --seed N             set the random source's seed to N (0..4294967295) instead of the clock
  --registers N        registers per program (1..20)            default 2
  --instructions N     instructions per program (1..1000)       default 5
  --population N       population size (1..1000000)             default 100
  --margin P           margin of error in whole percent (0..40) default 10
  --no-progressive     progressive search off                   default on
  --random             the 100-point uniform random sample instead of the sine sample
  --samples FILE       load the samples from a sample file instead of generating them
  --write-samples FILE save the sample set used to FILE before the search starts
  --generations N      end the search after at most N generations (N >= 1)
  --threads N          threads used to score the population (N >= 1); default: all cores
  --emit FORM          after the report, print the final model as FORM: formula, latex
                       (with a note on guards and the check), c or python; may be repeated
  --help               this text
Exit status: 0 all samples matched, 1 stopped without a full match, 2 bad arguments or samples.
)";
}
