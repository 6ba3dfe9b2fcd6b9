#include "exchange/Lines.h"

#include <algorithm>

TLineReader::TLineReader(std::string_view text) noexcept : text_(text.substr(0, text.find('\0'))) {}

bool TLineReader::Next(std::string_view& line) noexcept {
  if (pos_ >= text_.size()) return false;
  const std::size_t end = std::min(text_.find_first_of("\r\n", pos_), text_.size());
  line = text_.substr(pos_, end - pos_);
  pos_ = end;
  if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
  if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
  return true;
}

std::int64_t TLineCounter::LineAt(std::size_t pos) noexcept {
  for (; pos_ < pos && pos_ < text_.size(); ++pos_) {
    // CR LF is one break, counted at its CR.
    if (text_[pos_] == '\r' || (text_[pos_] == '\n' && (pos_ == 0 || text_[pos_ - 1] != '\r')))
      ++line_;
  }
  return line_;
}

std::string_view TLineCounter::LineOf(std::size_t pos) const noexcept {
  pos = std::min(pos, text_.size());
  const std::size_t before = text_.find_last_of("\r\n", pos == 0 ? 0 : pos - 1);
  const std::size_t start = pos == 0 || before == std::string_view::npos ? 0 : before + 1;
  const std::size_t end = std::min(text_.find_first_of("\r\n", pos), text_.size());
  return text_.substr(start, end - start);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  TLineReader reader(text);
  std::string_view line;
  while (reader.Next(line))
    lines.push_back(line);
  return lines;
}

std::string JoinLines(std::span<const std::string> lines) {
  std::size_t size = 0;
  for (const std::string& line : lines)
    size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}
