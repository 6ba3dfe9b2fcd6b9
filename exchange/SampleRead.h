#pragma once
// Samples read from a sample file or a paste before they replace a set: the rows that read
// as numbers (the inputs, then y), where the others stood and on which lines, and the names
// of a header. Blank lines are no rows, and a first line of names is a header, not a row;
// what becomes of the rows that do not read is the caller's choice, made after it has told
// the user. A text whose rows cannot make one set is refused with the reason.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/SD.h"

enum class TUnreadableChoice {
  Leave,   // load without them, the default
  AsZero,  // load each as the sample (0, 0)
};

class TSampleRead {
 public:
  static constexpr std::size_t LinesKept = 5;

  // Rows are lines of a file or pairs of a paste; the noun names them in texts.
  explicit TSampleRead(std::string_view rowNoun = "lines");

  // Room for rows known in advance, so that adding them allocates nothing more.
  void Reserve(std::int32_t rows);
  // Rows have one input until this says otherwise, before the first row.
  void SetInputCount(std::int32_t inputs);
  [[nodiscard]] std::int32_t InputCount() const noexcept { return rows_.InputCount(); }
  void Add(const TSamplePoint& point) {
    if (readable_ == rows_.Count()) Grow();
    rows_.SetX(readable_, point.X);
    rows_.SetY(readable_, point.Y);
    ++readable_;
  }
  // InputCount() + 1 values: the inputs, then y.
  void Add(std::span<const double> row);
  // line: where the row starts, from 1.
  void AddUnreadable(std::int64_t line);
  // A row read from its first items, with more after them that were not used.
  void AddUnused(std::int64_t line) { Note(unused_, line); }
  // A row read with a number cut short of a digit (ReadSampleValue).
  void AddCutShort(std::int64_t line) { Note(cutShort_, line); }
  // The last item of a paste, which has no pair, on its line.
  void SetUnpaired(std::int64_t line) noexcept { unpairedLine_ = line; }
  void SetHeader(std::vector<std::string> names) { header_ = std::move(names); }
  // The text held something: a row, a header or an item that was no pair.
  void MarkContent() noexcept { content_ = true; }
  // Drops every row: the text cannot be read as one set, for this reason, a sentence.
  void Refuse(std::string reason);
  // Why the text was refused; empty when it was not.
  [[nodiscard]] const std::string& Refusal() const noexcept { return refusal_; }

  [[nodiscard]] std::int32_t Readable() const noexcept { return readable_; }
  [[nodiscard]] std::int64_t Unreadable() const noexcept {
    return static_cast<std::int64_t>(unreadableAt_.size());
  }
  [[nodiscard]] std::int64_t Rows() const noexcept { return Readable() + Unreadable(); }
  // The lines of the first LinesKept unreadable rows.
  [[nodiscard]] const std::vector<std::int64_t>& UnreadableLines() const noexcept {
    return unreadableLines_;
  }
  // Rows with items beyond those used, and rows with numbers cut short: how many, and the
  // lines of the first LinesKept of each.
  struct TNoted {
    std::int64_t Count = 0;
    std::vector<std::int64_t> Lines;
  };
  [[nodiscard]] const TNoted& Unused() const noexcept { return unused_; }
  [[nodiscard]] const TNoted& CutShort() const noexcept { return cutShort_; }
  // The line of a paste's last item when it had no pair; 0 when there was none.
  [[nodiscard]] std::int64_t UnpairedLine() const noexcept { return unpairedLine_; }
  // The names of the first line when it held names only; empty without one.
  [[nodiscard]] const std::vector<std::string>& Header() const noexcept { return header_; }
  // Nothing but blanks and line breaks.
  [[nodiscard]] bool Blank() const noexcept { return !content_ && Rows() == 0 && header_.empty(); }
  [[nodiscard]] const std::string& RowNoun() const noexcept { return rowNoun_; }
  void SetRowNoun(std::string_view rowNoun) { rowNoun_ = rowNoun; }

  // The rows the choice keeps, in the order of the text, with tight bounds and the header's
  // names when it names every column; the set keeps its margin. Throws std::out_of_range
  // when they are more than a set can count.
  void MoveInto(TSampleData& samples, TUnreadableChoice choice) &&;

 private:
  void Grow();
  static void Note(TNoted& noted, std::int64_t line) {
    if (noted.Lines.size() < LinesKept) noted.Lines.push_back(line);
    ++noted.Count;
  }

  TSampleData rows_;  // the readable rows, grown ahead of readable_
  std::int32_t readable_ = 0;
  std::vector<std::int32_t> unreadableAt_;  // per unreadable row: the readable rows before it
  std::vector<std::int64_t> unreadableLines_;
  TNoted unused_;
  TNoted cutShort_;
  std::int64_t unpairedLine_ = 0;
  std::vector<std::string> header_;
  std::string rowNoun_;
  std::string refusal_;
  bool content_ = false;
};

// "4", "4 and 9", "4, 9 and 12"; "... and more" when count is more than the lines listed.
[[nodiscard]] std::string LineList(const std::vector<std::int64_t>& lines, std::int64_t count);

// "2 of 120 lines could not be read as two numbers (lines 4 and 9)" ("as 4 numbers" for
// rows of three inputs); with what became of them: "... and were left out (lines 4 and 9)".
// Empty when every row was read.
[[nodiscard]] std::string UnreadableSummary(const TSampleRead& read, std::string_view outcome = {});

// "1 of 3 lines held more than 2 items; those after the 2nd were not used (line 2)", and
// "the last item, on line 7, has no pair and was not used" for a paste; empty without.
[[nodiscard]] std::string UnusedSummary(const TSampleRead& read);

// "2 of 3 lines held a number cut short ("2.5e", "1e+" or "."), read as if the missing
// digits were 0 (lines 1 and 3)"; empty without.
[[nodiscard]] std::string CutShortSummary(const TSampleRead& read);

// Every summary of what a read left out, did not use or read leniently, unreadable rows
// under the choice made; each a sentence without its full stop.
[[nodiscard]] std::vector<std::string> ReadNotes(const TSampleRead& read, TUnreadableChoice choice);

// What became of the unreadable rows under a choice: "left out", "loaded as (0, 0)".
[[nodiscard]] std::string_view ChoiceOutcome(TUnreadableChoice choice) noexcept;

// Names of a first line: its fields split at the delimiter where it holds one, else at tabs,
// else at blanks, each without blanks around it or its quotes. Nothing when a field holds no
// letter (an empty field) or looks like a number (under another decimal separator, too
// large for a double, "5E"), or there are fewer than two: such a line is no header.
[[nodiscard]] std::vector<std::string> HeaderNames(std::string_view line, char delimiter);

// Why a first line that would be a header but for a field without a name cannot be one
// ("The header gives column 2 no name."): two names or more and an empty field. Empty for
// any other line.
[[nodiscard]] std::string UnnamedHeaderColumn(std::string_view line, char delimiter);

// Why a name cannot stand in a first line of names and be read back as it is (a line break,
// blanks around it, no letter, the look of a number), as a sentence; empty when it can.
[[nodiscard]] std::string HeaderNameFault(std::string_view name);

// Why a header cannot name a set's columns (too many of them, an empty name, a name given
// twice), as a sentence; empty when it can.
[[nodiscard]] std::string HeaderFault(const std::vector<std::string>& names);

// Why a line of this many items cannot be a row of a set of columns - 1 inputs: "Line 7 has
// 4 items where every line has 3 (2 inputs and y)."
[[nodiscard]] std::string ItemCountFault(std::int64_t line, std::int64_t items,
                                         std::int64_t columns);

// Why a set cannot have columns - 1 inputs (more than MaxInputs); empty when it can.
[[nodiscard]] std::string ColumnCountFault(std::int64_t columns);
