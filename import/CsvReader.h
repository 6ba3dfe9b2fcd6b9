#pragma once
// Records of delimited text in the manner of RFC 4180: fields split by one delimiter,
// records by CR LF, LF or CR; a field in double quotes may hold the delimiter, line breaks
// and doubled quotes, which stand for one. Text as spreadsheets really write it is taken
// too: blanks before an opening quote, text after a closing quote (kept as it is), a quote
// that is never closed (the field runs to the end), rows of any length.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TCsvRecord {
  // Views into the text, or into the reader for a field whose quotes had to be undone;
  // valid until the reader's next call.
  std::vector<std::string_view> Fields;
  std::int64_t Line = 0;  // the line where the record starts, from 1

  // Every field empty or made of blanks: a row that holds nothing at all.
  [[nodiscard]] bool Blank() const noexcept;
};

// Walks the records of a text once, without copying it.
class TCsvReader {
 public:
  TCsvReader(std::string_view text, char delimiter) noexcept;

  // The next record; empty lines are passed over. False at the end of the text.
  bool Next(TCsvRecord& record);

  // Bytes read so far.
  [[nodiscard]] std::size_t Position() const noexcept { return pos_; }

 private:
  struct TCopiedField {
    std::size_t Index;
    std::size_t Offset;
    std::size_t Size;
  };

  [[nodiscard]] bool AtBreak() const noexcept;
  void SkipBreak() noexcept;
  void ReadField(TCsvRecord& record);
  void ReadQuoted(TCsvRecord& record);
  void NoteBreaks(std::size_t from, std::size_t to) noexcept;

  std::string_view text_;
  std::size_t pos_ = 0;
  char delimiter_;
  std::int64_t line_ = 1;
  std::string copies_;  // fields whose doubled quotes were made single, end to end
  std::vector<TCopiedField> copied_;
};
