#pragma once
// Items joined by a delimiter, quoted with the double quote where needed. Reading is
// tolerant: blanks, tabs and line breaks separate items as the delimiter does.

#include <span>
#include <string>
#include <string_view>
#include <vector>

// Reads the items of a text one by one, so that a caller needing only the first few
// never splits the rest. The text ends at its end or its first NUL.
// An item is a view into the text, or into the reader for a quoted item, and lasts
// until the next call.
class TDelimitedReader {
 public:
  TDelimitedReader(std::string_view text, char delimiter) noexcept;
  // The next item; false when there is none left.
  bool Next(std::string_view& item);
  // Where the last item began in the text (its opening quote for a quoted one).
  [[nodiscard]] std::size_t ItemStart() const noexcept { return itemStart_; }

 private:
  [[nodiscard]] bool AtBlank() const noexcept;
  void SkipBlanks() noexcept;
  [[nodiscard]] std::string_view ReadQuoted();

  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t itemStart_ = 0;
  char delimiter_;
  std::string quoted_;          // a quoted item with its doubled quotes made single
  bool trailingEmpty_ = false;  // a delimiter ended the text: one empty item is due
};

[[nodiscard]] std::vector<std::string> SplitDelimited(std::string_view text, char delimiter);

// Whether JoinDelimited writes the item quoted.
[[nodiscard]] bool NeedsQuotes(std::string_view item, char delimiter) noexcept;

// Quotes an item holding a character of code 1 to 32, the quote or the delimiter; a lone
// empty item is written as two quotes so that it reads back.
[[nodiscard]] std::string JoinDelimited(std::span<const std::string> items, char delimiter);
