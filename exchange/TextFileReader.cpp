#include "exchange/TextFileReader.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "exchange/SampleFileError.h"
#include "exchange/TextFile.h"

namespace {

bool IsBreak(char c) noexcept {
  return c == '\n' || c == '\r';
}

// The first CR or LF at or after from; end when there is none. Eight bytes at a time are
// tested for a byte below 14, which CR (13) and LF (10) are and the text of numbers is not.
const char* FindBreak(const char* from, const char* end) noexcept {
  constexpr std::uint64_t Ones = 0x0101010101010101u;
  constexpr std::uint64_t Highs = 0x8080808080808080u;
  while (end - from >= 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, from, sizeof word);
    if (((word - 14 * Ones) & ~word & Highs) != 0) {
      for (int i = 0; i < 8; ++i) {
        if (IsBreak(from[i])) return from + i;
      }
    }
    from += 8;
  }
  while (from != end && !IsBreak(*from))
    ++from;
  return from;
}

}  // namespace

TTextFileReader::TTextFileReader(const std::string& fileName)
    : fileName_(fileName), buffer_(BlockSize) {
  errno = 0;
  file_.reset(std::fopen(fileName.c_str(), "rb"));
  if (!file_) ThrowOpenError(fileName);
}

bool TTextFileReader::Fill() {
  if (ended_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  // A line longer than the buffer needs a longer buffer; no other growth.
  if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
  errno = 0;
  const std::size_t read = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_.get());
  // Opening a folder succeeds on some systems; reading it does not.
  if (read == 0 && std::ferror(file_.get())) ThrowOpenError(fileName_);
  if (read == 0) {
    ended_ = true;
    return false;
  }
  if (const void* nul = std::memchr(buffer_.data() + end_, '\0', read)) {
    end_ = static_cast<std::size_t>(static_cast<const char*>(nul) - buffer_.data());
    ended_ = true;
  } else {
    end_ += read;
  }
  return true;
}

bool TTextFileReader::Next(std::string_view& line) {
  for (;;) {
    if (skipLf_) {
      if (begin_ == end_) Fill();
      skipLf_ = false;
      if (begin_ < end_ && buffer_[begin_] == '\n') ++begin_;
    }
    const char* const data = buffer_.data();
    const char* const found = FindBreak(data + begin_, data + end_);
    if (found != data + end_) {
      line = std::string_view(data + begin_, static_cast<std::size_t>(found - (data + begin_)));
      begin_ = static_cast<std::size_t>(found - data) + 1;
      if (*found == '\r') {
        if (begin_ < end_) {
          if (buffer_[begin_] == '\n') ++begin_;
        } else {
          skipLf_ = true;  // the LF, if any, is in the next block
        }
      }
      return true;
    }
    if (ended_ || !Fill()) {
      if (begin_ == end_) return false;
      line = std::string_view(buffer_.data() + begin_, end_ - begin_);
      begin_ = end_;
      return true;
    }
  }
}

std::int64_t TTextFileReader::CountLines() {
  // Finding the breaks eight bytes at a time beats counting CR and LF byte by byte.
  std::int64_t lines = 0;
  std::string_view line;
  while (Next(line))
    ++lines;
  return lines;
}

bool TTextFileReader::Rewind() {
  if (std::fseek(file_.get(), 0, SEEK_SET) != 0) return false;
  begin_ = end_ = 0;
  ended_ = skipLf_ = false;
  return true;
}
