#include "cli/Options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <functional>
#include <set>
#include <stdexcept>

namespace {

constexpr std::size_t OptionColumn = 25;
constexpr std::size_t HelpWidth = 79;

using TGiven = std::set<const TSearchSetting*>;

// The usage line, the purpose, the options by group and the exit statuses, as the man page
// (help2man) reads them.
class THelpFormatter : public CLI::Formatter {
 public:
  std::string make_help(const CLI::App* app, std::string name,
                        CLI::AppFormatMode mode) const override {
    return "usage: " + name + " [options]\n" + app->get_description() + "\n\n" +
           make_groups(app, mode) + "\n" + make_footer(app);
  }
  // One blank line between two groups, not two.
  std::string make_group(std::string group, bool positional,
                         std::vector<const CLI::Option*> options) const override {
    std::string text = group + ":\n";
    for (const CLI::Option* option : options)
      text += make_option(option, positional);
    return text;
  }
};

// Joins the words of a phrase that the help keeps on one line, such as "default: no limit".
constexpr char Glue = '\x1f';

// CLI11 writes a description as it is given; the help's lines end before HelpWidth.
std::string Wrapped(const std::string& text) {
  const std::size_t width = HelpWidth - OptionColumn;
  std::string lines;
  std::size_t lineStart = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const std::size_t length = lines.size() - lineStart;
    if (length > 0 && length + 1 + (end - start) > width) {
      lines += '\n';
      lineStart = lines.size();
    } else if (length > 0) {
      lines += ' ';
    }
    lines.append(text, start, end - start);
    start = end + 1;
  }
  std::replace(lines.begin(), lines.end(), Glue, ' ');
  return lines;
}

std::string Glued(std::string phrase) {
  std::replace(phrase.begin(), phrase.end(), ' ', Glue);
  return phrase;
}

// CLI11 takes the argument after an option as its value, whatever it is: an option there
// means that the value was forgotten, and it must not be swallowed.
const std::string& Value(const std::string& option, const std::string& text) {
  if (text.starts_with("--") || text == "-h") {
    throw std::invalid_argument(option + ": missing value");
  }
  return text;
}

std::string OptionName(const TSearchSetting& setting) {
  return "--" + std::string(setting.Name);
}

std::int64_t WholeNumber(const std::string& option, const std::string& text,
                         const TSearchSetting& setting) {
  long long value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || ptr != end || error == std::errc::invalid_argument) {
    throw std::invalid_argument(option + ": not a whole number: '" + text + "'");
  }
  if (error == std::errc::result_out_of_range || !setting.Range.Holds(value))
    throw std::invalid_argument(OutOfRangeText(setting, text, OptionName));
  return value;
}

std::string SwitchText(std::int64_t value) {
  return value != 0 ? "on" : "off";
}

// "(1..20), default 2", "(1..31536000 seconds), default: no limit", "default off, with
// --restarts on": what the help says after a setting's own text.
std::string RangeText(const TSearchSetting& setting) {
  const bool number = !setting.Value.empty();
  std::string text;
  if (number) {
    std::string range =
        "(" + std::to_string(setting.Range.Minimum) + ".." + std::to_string(setting.Range.Maximum);
    if (!setting.Unit.empty()) range += " " + std::string(setting.Unit);
    text += Glued(range + "),") + " ";
  }
  if (!setting.Unset.empty()) {
    text += Glued("default: " + std::string(setting.Unset));
  } else {
    text += Glued("default " +
                  (number ? std::to_string(setting.Default) : SwitchText(setting.Default)));
  }
  if (setting.BestMode) {
    text += ", " + Glued("with --restarts " + (number ? std::to_string(*setting.BestMode)
                                                      : SwitchText(*setting.BestMode)));
  }
  if (!setting.Note.empty()) text += "; " + std::string(setting.Note);
  return text;
}

std::string GroupName(TSettingGroup group) {
  switch (group) {
    case TSettingGroup::Restarts:
      return "Restarts (the best mode)";
    case TSettingGroup::Additions:
      return "Additions (on with --restarts; alone they change a plain search)";
    case TSettingGroup::Search:
      break;
  }
  return "Search";
}

// Each value is taken when it is read, so a later option overrides an earlier one and the
// first fault on the line is the one reported.
CLI::Option* AddText(CLI::App& app, const std::string& option, const std::string& valueName,
                     const std::string& help, std::function<void(const std::string&)> take) {
  return app
      .add_option_function<std::string>(
          option, [option, take](const std::string& text) { take(Value(option, text)); },
          Wrapped(help))
      ->option_text(valueName)
      ->trigger_on_parse();
}

CLI::Option* AddFlag(CLI::App& app, const std::string& option, const std::string& help,
                     std::function<void()> take) {
  return app.add_flag_callback(option, std::move(take), Wrapped(help))->trigger_on_parse();
}

std::function<void(const std::string&)> FileName(const std::string& option, std::string& file) {
  return [option, &file](const std::string& text) {
    if (text.empty()) throw std::invalid_argument(option + ": empty file name");
    file = text;
  };
}

std::function<void(const std::string&)> NonEmpty(const std::string& option, std::string& value) {
  return [option, &value](const std::string& text) {
    if (text.empty()) throw std::invalid_argument(option + ": empty value");
    value = text;
  };
}

void AddSampleOptions(CLI::App& app, TCliOptions& options) {
  const std::string group = "Samples";
  AddFlag(app, "--random", "the 100-point uniform random sample instead of the sine sample",
          [&options] { options.RandomSample = true; })
      ->group(group);
  AddText(app, "--samples", "FILE",
          "load the samples from a sample file (at most 2147483647 lines) instead of "
          "generating them: lines of x,y, or of inputs and y after a header line of names",
          FileName("--samples", options.SamplesFile))
      ->group(group);
  AddText(app, "--import", "FILE",
          "import the samples from a CSV or TSV file instead (delimiter, decimal separator "
          "and header detected)",
          NonEmpty("--import", options.Import.File))
      ->group(group);
  AddText(app, "--x-column", "NAME|N",
          "with --import: an input column by header name or number from 1; several "
          "comma-separated or the option repeated, in the inputs' order",
          [&options](const std::string& text) {
            if (text.empty()) throw std::invalid_argument("--x-column: empty value");
            options.Import.XColumns.push_back(text);
          })
      ->group(group);
  AddText(app, "--y-column", "NAME|N",
          "with --import: the y column; default: as detected, and with more than two columns "
          "of numbers the last is y and the others are inputs",
          NonEmpty("--y-column", options.Import.YColumn))
      ->group(group);
  AddText(app, "--validation", "FILE",
          "check the models on the rows of FILE instead of held-out ones: a sample file, or "
          "with --import or a name ending in .csv or .tsv a table read as --import reads it",
          FileName("--validation", options.ValidationFile))
      ->group(group);
  AddText(app, "--write-samples", "FILE",
          "save the sample set used to FILE before the search starts",
          FileName("--write-samples", options.WriteSamplesFile))
      ->group(group);
}

void AddSettingOptions(CLI::App& app, TCliOptions& options, TGiven& given) {
  for (const TSearchSetting* setting : SearchSettings()) {
    const std::string name = OptionName(*setting);
    const std::string help =
        std::string(setting->Help) + (setting->Value.empty() ? ", " : " ") + RangeText(*setting);
    const std::string group = GroupName(setting->Group);
    auto take = [&options, &given, setting](std::int64_t value) {
      ApplySetting(options, *setting, value);
      given.insert(setting);
    };
    if (!setting->Value.empty()) {
      AddText(app, name, std::string(setting->Value), help,
              [name, setting, take](const std::string& text) {
                take(WholeNumber(name, text, *setting));
              })
          ->group(group);
    } else if (setting->OnOption) {
      AddFlag(app, name, help, [take] { take(1); })->group(group);
    }
    if (setting->OffOption) {
      const std::string off = "--no-" + std::string(setting->Name);
      // A switch with no option to turn it on says all there is to say here.
      const std::string offHelp =
          setting->Value.empty() && !setting->OnOption
              ? "turn " + std::string(setting->Help) + " off, " + RangeText(*setting)
              : "turn " + name + " off";
      AddFlag(app, off, offHelp, [take] { take(0); })->group(group);
    }
  }
}

void AddOutputOptions(CLI::App& app, TCliOptions& options) {
  const std::string group = "Output";
  AddText(app, "--progress-file", "FILE",
          "write one CSV line per generation to FILE: generation, attempt, best error, "
          "matches, elapsed ms",
          FileName("--progress-file", options.ProgressFile))
      ->group(group);
  AddText(app, "--emit", "FORM",
          "after the report, print the final model as FORM: formula (numbers to 6 significant "
          "digits), formula-exact (every digit), latex (each with a note on guards and the "
          "check), c or python; may be repeated",
          [&options](const std::string& form) {
            if (form != "formula" && form != "formula-exact" && form != "latex" && form != "c" &&
                form != "python") {
              throw std::invalid_argument(
                  "--emit: not one of formula, formula-exact, latex, c, python: '" + form + "'");
            }
            options.Emit.push_back(form);
          })
      ->group(group);
  AddText(app, "--pick", "MODEL",
          "the model --emit prints: final (the run's answer, the default) or suggested (the "
          "smallest model of the front whose held-out error is within 5 % of the lowest; needs "
          "--holdout or --validation)",
          [&options](const std::string& pick) {
            if (pick != "final" && pick != "suggested") {
              throw std::invalid_argument("--pick: not one of final, suggested: '" + pick + "'");
            }
            options.PickSuggested = pick == "suggested";
          })
      ->group(group);
  AddFlag(app, "--front",
          "after the report, print the front: for each size (live instructions) the model of "
          "lowest error found, with its error, RMSE, R squared, matches and formula",
          [&options] { options.Front = true; })
      ->group(group);
  AddFlag(app, "-h,--help", "this text", [&options] { options.Help = true; })->group(group);
  AddFlag(app, "--version", "the program's version", [&options] {
    options.Version = true;
  })->group(group);
}

// The application owns the options; the callbacks write into options and given.
void DeclareOptions(CLI::App& app, TCliOptions& options, TGiven& given) {
  app.description("Searches for a model that reproduces a sample set and prints it.");
  app.footer(
      "Samples of several inputs (at most 16) come from a sample file whose first\n"
      "line names the columns (x1,x2,y) or from --import; each line holds the inputs\n"
      "and then y, every line as many items. A program's registers start with the\n"
      "inputs, so --registers is raised to the number of inputs when it is smaller,\n"
      "and stderr says so.\n\n"
      "Exit status: 0 all samples matched, 1 stopped without a full match, 2 bad\n"
      "arguments, unusable samples (none readable) or output that could not be\n"
      "written.");
  app.formatter(std::make_shared<THelpFormatter>());
  app.get_formatter()->column_width(OptionColumn);
  app.set_help_flag();  // ours is a flag of its own, so that errors come before the help
  app.allow_extras();   // reported here, as an unknown option
  AddSampleOptions(app, options);
  AddSettingOptions(app, options, given);
  AddOutputOptions(app, options);
}

}  // namespace

TCliOptions ParseOptions(const std::vector<std::string>& arguments) {
  TCliOptions options;
  TGiven given;
  CLI::App app("", "movar-search");
  DeclareOptions(app, options, given);
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ArgumentMismatch&) {
    // Every option takes one value or none, and CLI11 takes the next argument for it
    // whatever it is: only the last argument can lack its value.
    const std::string& last = arguments.back();
    throw std::invalid_argument(last.substr(0, last.find('=')) + ": missing value");
  } catch (const CLI::ParseError& error) {
    throw std::invalid_argument(error.what());
  }
  if (const std::vector<std::string> unknown = app.remaining(); !unknown.empty()) {
    throw std::invalid_argument("unknown option: " + unknown.front());
  }
  CompleteSettings(options, given, OptionName);
  CheckImportOptions(options.Import, !options.SamplesFile.empty());
  if (!options.ValidationFile.empty() && options.Search.HoldoutPercent > 0) {
    throw std::invalid_argument("--validation and --holdout: check the models on one or the other");
  }
  if (options.PickSuggested && options.ValidationFile.empty() &&
      options.Search.HoldoutPercent == 0) {
    throw std::invalid_argument("--pick suggested: needs --holdout or --validation");
  }
  return options;
}

std::string Usage() {
  TCliOptions options;
  TGiven given;
  CLI::App app("", "movar-search");
  DeclareOptions(app, options, given);
  return app.help();
}
