#include "frontend/WindowText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

#include "import/CsvImport.h"

namespace {

std::optional<std::int32_t> ReadDecimal(std::string_view text) {
  // One sign at most: after "+" the digits must follow ("+-5" is no integer).
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

TSearchParameters ReadSearchParameters(std::string_view population, std::string_view instructions,
                                       std::string_view registers, std::int32_t marginPercent,
                                       bool progressive) {
  TSearchParameters parameters;
  const auto p = ReadDecimal(population);
  const auto i = ReadDecimal(instructions);
  const auto r = ReadDecimal(registers);
  if (p && i && r) {
    parameters.PopulationSize = *p;
    parameters.InstructionCount = *i;
    parameters.RegisterCount = *r;
  } else {
    parameters.PopulationSize = 100;
    parameters.InstructionCount = 5;
    parameters.RegisterCount = 1;
  }
  parameters.MarginPercent = marginPercent;
  parameters.Progressive = progressive;
  return parameters;
}

std::optional<std::uint32_t> ReadSeed(std::string_view text) {
  // Digits only: no sign, no blanks, so that what is typed is what seeds the search.
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::int64_t> ReadLimit(std::string_view text, const TSearchSetting& setting) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) return setting.Range.Maximum;
  if (error != std::errc{} || end != text.data() + text.size() || value == 0) return std::nullopt;
  return std::clamp(value, setting.Range.Minimum, setting.Range.Maximum);
}

std::string MarginHint(std::int32_t percent) {
  return std::to_string(percent) + "%";
}

std::string SettingTip(const TSearchSetting& setting) {
  std::string tip(setting.Help);
  if (!tip.empty()) tip[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(tip[0])));
  if (!setting.Value.empty()) {
    const TSettingRange range = setting.WindowRange();
    tip += ", from " + std::to_string(range.Minimum) + " to " + std::to_string(range.Maximum);
  }
  if (!setting.Note.empty()) tip += ": " + std::string(setting.Note);
  return tip + ".";
}

std::string ErrorBoxText(std::string text) {
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

std::string UnreadableQuestion(const TSampleRead& read) {
  const std::string summary = UnreadableSummary(read);
  if (summary.empty()) return summary;
  const bool one = read.Unreadable() == 1;
  return summary + ". Load the test data without " + (one ? "it" : "them") + ", or with " +
         (one ? "it" : "each") + " as the sample (0, 0)?";
}

std::string NothingPastedNote(const TSampleRead& read) {
  if (read.Blank() || read.Readable() > 0) return {};
  if (!read.Refusal().empty()) return "Nothing was pasted. " + read.Refusal();
  const std::int64_t count = read.Unreadable();
  if (count == 0) return "Nothing was pasted: the clipboard holds no pair of numbers.";
  const std::string which =
      count == 1 ? "the one pair on the clipboard could not be read"
                 : "none of the " + std::to_string(count) + " pairs on the clipboard could be read";
  return "Nothing was pasted: " + which + " as two numbers (" + (count == 1 ? "line " : "lines ") +
         LineList(read.UnreadableLines(), count) + ").";
}

namespace {

// What the import's dialog would show first; only the text's start is looked at.
TCsvPreview FirstRows(std::string_view text) {
  constexpr std::size_t Looked = 64 * 1024;
  constexpr std::size_t Rows = 5;
  text = text.substr(0, std::min(text.size(), Looked));
  return PreviewCsv(text, DetectCsvImport(text), Rows);
}

}  // namespace

bool SplitsIntoColumns(std::string_view text) {
  return FirstRows(text).Columns >= 2;
}

bool PasteIsTable(std::string_view text) {
  const TCsvPreview preview = FirstRows(text);
  // Names over rows of anything but numbers are no table: pasted, they say nothing was read.
  if (std::none_of(preview.Readable.begin(), preview.Readable.end(), [](bool b) { return b; }))
    return false;
  if (!preview.Header.empty()) return true;
  if (preview.Rows.size() < 2) return false;
  const std::size_t cells = preview.Rows.front().size();
  return cells > 2 && std::all_of(preview.Rows.begin(), preview.Rows.end(),
                                  [cells](const auto& row) { return row.size() == cells; });
}

std::string SearchEndStatus(TSearchEnd end, std::int32_t matches, std::int32_t sampleCount,
                            bool nothingHeldOut) {
  std::string text = SearchEndText(end, matches, sampleCount) + ".";
  text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  if (nothingHeldOut) text += " Nothing held out: too few samples.";
  return text;
}
