#include "cli/Options.h"

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

// The argument after an option is its value unless it is an option itself: a forgotten
// value must not swallow the next option.
const std::string& OptionValue(const std::vector<std::string>& arguments, std::size_t& i) {
  const std::string& option = arguments[i];
  if (i + 1 >= arguments.size() || arguments[i + 1].starts_with("--") || arguments[i + 1] == "-h") {
    throw std::invalid_argument(option + ": missing value");
  }
  return arguments[++i];
}

const std::string& FileName(const std::string& option, const std::string& name) {
  if (name.empty()) throw std::invalid_argument(option + ": empty file name");
  return name;
}

}  // namespace

TCliOptions ParseOptions(const std::vector<std::string>& arguments) {
  TCliOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    auto value = [&]() -> const std::string& { return OptionValue(arguments, i); };
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
      options.SamplesFile = FileName(option, value());
    } else if (IsImportOption(option)) {
      SetImportOption(option, value(), options.Import);
    } else if (option == "--write-samples") {
      options.WriteSamplesFile = FileName(option, value());
    } else if (option == "--progress-file") {
      options.ProgressFile = FileName(option, value());
    } else if (option == "--generations") {
      options.Generations = ParseNumber<std::int64_t>(option, value(), 1, INT32_MAX);
    } else if (option == "--threads") {
      options.Threads = ParseNumber<std::int32_t>(option, value(), 1, 1024);
    } else if (option == "--time-limit") {
      options.TimeLimitSeconds = ParseNumber<std::int64_t>(option, value(), 1, 31536000);
    } else if (option == "--restarts") {
      options.Restarts = true;
    } else if (option == "--restart-unit") {
      options.RestartUnit = ParseNumber<std::int64_t>(option, value(), 1, INT32_MAX);
    } else if (option == "--attempts") {
      options.Attempts = ParseNumber<std::int64_t>(option, value(), 1, INT32_MAX);
    } else if (option == "--min-window") {
      options.MinimumWindow = ParseNumber<std::int32_t>(option, value(), 0, INT32_MAX);
    } else if (option == "--no-min-window") {
      options.MinimumWindow = 0;
    } else if (option == "--refine") {
      options.RefineTrials = ParseNumber<std::int32_t>(option, value(), 0, 1000000);
    } else if (option == "--no-refine") {
      options.RefineTrials = 0;
    } else if (option == "--scaled-constants") {
      options.ScaledConstants = true;
    } else if (option == "--no-scaled-constants") {
      options.ScaledConstants = false;
    } else if (option == "--emit") {
      const std::string& form = value();
      if (form != "formula" && form != "latex" && form != "c" && form != "python") {
        throw std::invalid_argument(option + ": not one of formula, latex, c, python: '" + form +
                                    "'");
      }
      options.Emit.push_back(form);
    } else if (option == "--help" || option == "-h") {
      options.Help = true;
    } else if (option == "--version") {
      options.Version = true;
    } else {
      throw std::invalid_argument("unknown option: " + option);
    }
  }
  if (options.Restarts && options.Generations > 0) {
    throw std::invalid_argument(
        "--generations limits a plain search; with --restarts use --attempts or --time-limit");
  }
  CheckImportOptions(options.Import, !options.SamplesFile.empty());
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
  --samples FILE       load the samples from a sample file (at most 2147483647 lines)
                       instead of generating them
  --import FILE        import the samples from a CSV or TSV file instead (delimiter,
                       decimal separator and header detected)
  --x-column NAME|N    with --import: the x column by header name or number from 1
  --y-column NAME|N    with --import: the y column; default for both: as detected
  --write-samples FILE save the sample set used to FILE before the search starts
  --progress-file FILE write one CSV line per generation to FILE: generation, attempt,
                       best error, matches, elapsed ms
  --generations N      end the search after at most N generations (1..2147483647)
                                                                default: no limit
  --threads N          threads used to score the population (1..1024)
                                                                default: all cores
                       with --restarts, attempts run side by side, one on each thread
  --time-limit S       end the search after about S seconds (1..31536000)
Restarts (the best mode):
  --restarts           run attempts of 1, 1, 2, 1, 1, 2, 4, ... units of generations, each a
                       new search with a seed of its own, with every addition below turned on
  --restart-unit U     generations in one unit (1..2147483647)   default 200
  --attempts N         end after N attempts (1..2147483647)
Additions to the search (on with --restarts; alone they change a plain search):
  --min-window N       the progressive window starts with at least N samples (0..2147483647)
                                                                restarts: 10
  --refine N           try N changes of the best program per generation (0..1000000)
                                                                restarts: 20
  --scaled-constants   the refiner draws constants at useful scales
  --no-min-window, --no-refine, --no-scaled-constants   turn one addition off
  --emit FORM          after the report, print the final model as FORM: formula, latex
                       (with a note on guards and the check), c or python; may be repeated
  -h, --help           this text
  --version            the program's version
Exit status: 0 all samples matched, 1 stopped without a full match, 2 bad arguments,
unusable samples (none readable) or output that could not be written.
)";
}
