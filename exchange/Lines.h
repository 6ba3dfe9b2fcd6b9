#pragma once
// Lines of sample text: CR LF after every line when writing; CR LF, CR or LF when reading.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Walks the lines of a text without copying them. The text ends at its end or its first
// NUL; after a line one CR and then one LF are skipped, so LF CR ends two lines. A break
// at the very end adds no empty line.
class TLineReader {
 public:
  explicit TLineReader(std::string_view text) noexcept;
  // The next line, a view into the text; false when the text has ended.
  bool Next(std::string_view& line) noexcept;

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// The line number of positions in a text, for positions that never go back: each call
// reads only the text since the last. Lines break as TLineReader breaks them.
class TLineCounter {
 public:
  explicit TLineCounter(std::string_view text) noexcept : text_(text) {}
  // The line, from 1, that holds the character at pos.
  [[nodiscard]] std::int64_t LineAt(std::size_t pos) noexcept;
  // The text of the line that holds pos, without its break.
  [[nodiscard]] std::string_view LineOf(std::size_t pos) const noexcept;

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  std::int64_t line_ = 1;
};

// The lines are views into text and live as long as it does.
[[nodiscard]] std::vector<std::string_view> SplitLines(std::string_view text);

// Each line followed by CR LF.
[[nodiscard]] std::string JoinLines(std::span<const std::string> lines);
