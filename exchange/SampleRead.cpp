#include "exchange/SampleRead.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "exchange/Delimited.h"
#include "exchange/SampleValue.h"

namespace {

constexpr std::int32_t MaxRows = std::numeric_limits<std::int32_t>::max();

bool IsBlank(char c) noexcept {
  const auto code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}

std::string_view Trim(std::string_view field) noexcept {
  while (!field.empty() && IsBlank(field.front()))
    field.remove_prefix(1);
  while (!field.empty() && IsBlank(field.back()))
    field.remove_suffix(1);
  return field;
}

// A field between quotes loses them, and its doubled quotes stand for one.
std::string Unquote(std::string_view field) {
  if (field.size() < 2 || field.front() != '"' || field.back() != '"') return std::string(field);
  std::string name;
  for (std::size_t i = 1; i + 1 < field.size(); ++i) {
    name += field[i];
    if (field[i] == '"' && field[i + 1] == '"') ++i;
  }
  return name;
}

// The fields between separators outside quotes.
std::vector<std::string> SplitAt(std::string_view line, char separator) {
  std::vector<std::string> fields;
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= line.size(); ++i) {
    if (i < line.size() && line[i] == '"') quoted = !quoted;
    if (i == line.size() || (line[i] == separator && !quoted)) {
      fields.push_back(Unquote(Trim(line.substr(start, i - start))));
      start = i + 1;
    }
  }
  return fields;
}

// Text a number reader would take for a number, whatever its range or decimal separator:
// a sign, digits with "." or ",", an exponent with or without digits ("1E400", "1,5", "5E").
bool LooksLikeNumber(std::string_view text) noexcept {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool digit = false;
  for (;
       i < text.size() && ((text[i] >= '0' && text[i] <= '9') || text[i] == '.' || text[i] == ',');
       ++i)
    digit = digit || (text[i] >= '0' && text[i] <= '9');
  if (!digit) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
      ++i;
  }
  return i == text.size();
}

bool HoldsLetter(std::string_view name) noexcept {
  return std::any_of(name.begin(), name.end(), [](char c) {
    const int lower = static_cast<unsigned char>(c) | 0x20;
    return (lower >= 'a' && lower <= 'z') || static_cast<unsigned char>(c) >= 0x80;
  });
}

// A name holds a letter and is no number: "E" and "m" are names, "1,5" written under
// another separator is none, nor "1E400", too large for a double.
bool IsName(const std::string& name) {
  return HoldsLetter(name) && !LooksLikeNumber(name) && !ParseSampleValue(name).has_value();
}

// Two numbers, or as many as a row of several inputs holds.
std::string NumberCount(std::int32_t columns) {
  return columns == 2 ? "two numbers" : std::to_string(columns) + " numbers";
}

std::string Singular(const std::string& noun) {
  return noun.ends_with('s') ? noun.substr(0, noun.size() - 1) : noun;
}

}  // namespace

TSampleRead::TSampleRead(std::string_view rowNoun) : rowNoun_(rowNoun) {}

void TSampleRead::SetInputCount(std::int32_t inputs) {
  rows_.Reshape(rows_.Count(), inputs);
}

void TSampleRead::Add(std::span<const double> row) {
  if (readable_ == rows_.Count()) Grow();
  const std::int32_t inputs = rows_.InputCount();
  for (std::int32_t k = 0; k < inputs; ++k)
    rows_.SetX(readable_, k, row[static_cast<std::size_t>(k)]);
  rows_.SetY(readable_, row[static_cast<std::size_t>(inputs)]);
  ++readable_;
}

void TSampleRead::Refuse(std::string reason) {
  refusal_ = std::move(reason);
  content_ = true;
  unused_ = {};
  cutShort_ = {};
  unpairedLine_ = 0;
  rows_ = TSampleData();
  readable_ = 0;
  unreadableAt_.clear();
  unreadableLines_.clear();
}

void TSampleRead::Reserve(std::int32_t rows) {
  if (rows > rows_.Count()) rows_.SetCount(rows);
}

void TSampleRead::Grow() {
  if (readable_ == MaxRows) throw std::out_of_range("Range check error");
  rows_.SetCount(std::max(16, readable_ > MaxRows / 2 ? MaxRows : readable_ * 2));
}

void TSampleRead::AddUnreadable(std::int64_t line) {
  unreadableAt_.push_back(readable_);
  if (unreadableLines_.size() < LinesKept) unreadableLines_.push_back(line);
}

void TSampleRead::MoveInto(TSampleData& samples, TUnreadableChoice choice) && {
  if (choice == TUnreadableChoice::AsZero && !unreadableAt_.empty()) {
    if (Rows() > MaxRows) throw std::out_of_range("Range check error");
    const std::int32_t inputs = rows_.InputCount();
    TSampleData all(static_cast<std::int32_t>(Rows()), inputs);
    std::size_t before = 0;  // unreadable rows placed so far
    for (std::int32_t row = 0; row < readable_; ++row) {
      while (before < unreadableAt_.size() && unreadableAt_[before] <= row)
        ++before;
      const auto at = static_cast<std::int32_t>(row + static_cast<std::int64_t>(before));
      for (std::int32_t k = 0; k < inputs; ++k)
        all.SetX(at, k, rows_.GetX(row, k));
      all.SetY(at, rows_.GetY(row));
    }
    // SetX and SetY only widen, and the (0, 0) rows were never set.
    all.UpdateBounds();
    rows_ = std::move(all);
  } else {
    rows_.SetCount(readable_);  // bounds anew over the rows kept
  }
  rows_.SetMargin(samples.GetMargin());
  if (header_.size() == static_cast<std::size_t>(rows_.RowSize()) &&
      ColumnNamesFault(header_).empty()) {
    rows_.SetNames(header_);
  }
  samples = std::move(rows_);
  rows_ = TSampleData();
  readable_ = 0;
  unreadableAt_.clear();
}

std::string LineList(const std::vector<std::int64_t>& lines, std::int64_t count) {
  std::string list;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) list += i + 1 == lines.size() && count == std::ssize(lines) ? " and " : ", ";
    list += std::to_string(lines[i]);
  }
  if (count > std::ssize(lines)) list += " and more";
  return list;
}

namespace {

// "(line 4)", "(lines 4 and 9)"
std::string InLines(const std::vector<std::int64_t>& lines, std::int64_t count) {
  return (lines.size() == 1 && count == 1 ? "(line " : "(lines ") + LineList(lines, count) + ")";
}

// "1 of 3 lines", "2 of 2 pairs"
std::string OfRows(const TSampleRead& read, std::int64_t count) {
  const std::string& noun = read.RowNoun();
  return std::to_string(count) + " of " + std::to_string(read.Rows()) + " " +
         (read.Rows() == 1 ? Singular(noun) : noun);
}

std::string Ordinal(std::int32_t n) {
  const std::int32_t last = n % 10;
  const bool teen = n % 100 / 10 == 1;
  return std::to_string(n) + (teen        ? "th"
                              : last == 1 ? "st"
                              : last == 2 ? "nd"
                              : last == 3 ? "rd"
                                          : "th");
}

}  // namespace

std::string UnreadableSummary(const TSampleRead& read, std::string_view outcome) {
  const std::int64_t count = read.Unreadable();
  if (count == 0) return {};
  std::string text =
      OfRows(read, count) + " could not be read as " + NumberCount(read.InputCount() + 1);
  if (!outcome.empty()) text += (count == 1 ? " and was " : " and were ") + std::string(outcome);
  return text + " " + InLines(read.UnreadableLines(), count);
}

std::string UnusedSummary(const TSampleRead& read) {
  std::string text;
  const TSampleRead::TNoted& unused = read.Unused();
  if (unused.Count > 0) {
    const std::int32_t columns = read.InputCount() + 1;
    text = OfRows(read, unused.Count) + " held more than " + std::to_string(columns) +
           " items; those after the " + Ordinal(columns) + " were not used " +
           InLines(unused.Lines, unused.Count);
  }
  if (read.UnpairedLine() > 0) {
    if (!text.empty()) text += "; ";
    text += "the last item, on line " + std::to_string(read.UnpairedLine()) +
            ", has no pair and was not used";
  }
  return text;
}

std::string CutShortSummary(const TSampleRead& read) {
  const TSampleRead::TNoted& cut = read.CutShort();
  if (cut.Count == 0) return {};
  return OfRows(read, cut.Count) + " held a number cut short (\"2.5e\", \"1e+\" or \".\"), read " +
         "as if the missing digits were 0 " + InLines(cut.Lines, cut.Count);
}

std::vector<std::string> ReadNotes(const TSampleRead& read, TUnreadableChoice choice) {
  std::vector<std::string> notes;
  for (std::string note : {UnreadableSummary(read, ChoiceOutcome(choice)), UnusedSummary(read),
                           CutShortSummary(read)}) {
    if (!note.empty()) notes.push_back(std::move(note));
  }
  return notes;
}

std::string_view ChoiceOutcome(TUnreadableChoice choice) noexcept {
  return choice == TUnreadableChoice::Leave ? "left out" : "loaded as (0, 0)";
}

namespace {

// Whether the line holds c outside double quotes.
bool HoldsUnquoted(std::string_view line, char c) noexcept {
  bool quoted = false;
  for (const char d : line) {
    if (d == '"') quoted = !quoted;
    if (d == c && !quoted) return true;
  }
  return false;
}

// The fields of a first line as HeaderNames splits them.
std::vector<std::string> HeaderFields(std::string_view line, char delimiter) {
  if (HoldsUnquoted(line, delimiter)) return SplitAt(line, delimiter);
  if (HoldsUnquoted(line, '\t')) return SplitAt(line, '\t');
  std::vector<std::string> fields;
  TDelimitedReader reader(line, delimiter);
  for (std::string_view item; reader.Next(item);)
    fields.emplace_back(item);
  return fields;
}

}  // namespace

std::vector<std::string> HeaderNames(std::string_view line, char delimiter) {
  std::vector<std::string> names = HeaderFields(line, delimiter);
  const bool named = names.size() >= 2 && std::all_of(names.begin(), names.end(), IsName);
  if (!named) names.clear();
  return names;
}

std::string UnnamedHeaderColumn(std::string_view line, char delimiter) {
  const std::vector<std::string> fields = HeaderFields(line, delimiter);
  std::size_t names = 0;
  std::size_t firstEmpty = 0;
  for (std::size_t k = 0; k < fields.size(); ++k) {
    if (IsName(fields[k])) {
      ++names;
    } else if (!fields[k].empty()) {
      return {};
    } else if (firstEmpty == 0) {
      firstEmpty = k + 1;
    }
  }
  if (names < 2 || firstEmpty == 0) return {};
  return "The header gives column " + std::to_string(firstEmpty) + " no name.";
}

std::string HeaderNameFault(std::string_view name) {
  const auto quoted = [name] {
    std::string text = "The column name \"";
    for (const char c : name) {
      if (c == '\n') {
        text += "\\n";
      } else if (c == '\r') {
        text += "\\r";
      } else {
        text += c;
      }
    }
    return text + "\"";
  };
  const auto cannot = [&](std::string_view why) {
    return quoted() + " " + std::string(why) + ", which a sample file's header cannot keep.";
  };
  if (name.empty()) return "A column has no name, which a sample file's header cannot keep.";
  if (name.find_first_of("\r\n") != std::string_view::npos) return cannot("holds a line break");
  if (name.find('\0') != std::string_view::npos) return cannot("holds a NUL character");
  if (IsBlank(name.front()) || IsBlank(name.back())) return cannot("begins or ends with a blank");
  if (LooksLikeNumber(name) || ParseSampleValue(name)) {
    return quoted() + " reads as a number, which a sample file's header cannot tell from data.";
  }
  if (!HoldsLetter(name)) return cannot("holds no letter");
  return {};
}

std::string HeaderFault(const std::vector<std::string>& names) {
  if (std::string fault = ColumnCountFault(std::ssize(names)); !fault.empty()) return fault;
  return ColumnNamesFault(names);
}

std::string ItemCountFault(std::int64_t line, std::int64_t items, std::int64_t columns) {
  return "Line " + std::to_string(line) + " has " + std::to_string(items) +
         (items == 1 ? " item" : " items") + " where every line has " + std::to_string(columns) +
         " (" + std::to_string(columns - 1) + (columns == 2 ? " input" : " inputs") + " and y).";
}

std::string ColumnCountFault(std::int64_t columns) {
  if (columns - 1 <= MaxInputs) return {};
  return "The samples have " + std::to_string(columns - 1) +
         " inputs; a sample set takes at most " + std::to_string(MaxInputs) + ".";
}
