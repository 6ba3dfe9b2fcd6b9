#pragma once
// Reads the lines of a text file block by block, so that memory stays bounded by the
// longest line, whatever the file's size. The text ends at the file's end or its first
// NUL; lines break as TLineReader breaks them.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TTextFileReader {
 public:
  static constexpr std::size_t BlockSize = std::size_t{1} << 20;

  // Opens for reading; throws TSampleFileError "Cannot open file ..." when it cannot.
  explicit TTextFileReader(const std::string& fileName);

  // The next line, valid until the next call; false when the text has ended. A read
  // error throws TSampleFileError.
  bool Next(std::string_view& line);

  // The number of lines from here to the end; Next then returns false until Rewind.
  [[nodiscard]] std::int64_t CountLines();

  // Back to the first line; false when the file cannot be read twice (a pipe).
  [[nodiscard]] bool Rewind();

 private:
  struct TCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
  };

  // Moves the unread rest to the front and reads more after it; false at the end.
  bool Fill();

  std::string fileName_;
  std::unique_ptr<std::FILE, TCloser> file_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;  // first unread byte
  std::size_t end_ = 0;    // end of the bytes read
  bool ended_ = false;     // the file's end or a NUL was read
  bool skipLf_ = false;    // a line ended with CR at the end of the bytes read
};
