#include "exchange/Delimited.h"

namespace {

constexpr char Quote = '"';

[[nodiscard]] bool IsBlank(char c) noexcept {
  const auto code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}

void AppendQuoted(std::string& text, std::string_view item) {
  text += Quote;
  for (const char c : item) {
    if (c == Quote) text += Quote;
    text += c;
  }
  text += Quote;
}

}  // namespace

bool NeedsQuotes(std::string_view item, char delimiter) noexcept {
  for (const char c : item) {
    if (IsBlank(c) || c == Quote || c == delimiter) return true;
  }
  return false;
}

TDelimitedReader::TDelimitedReader(std::string_view text, char delimiter) noexcept
    : text_(text.substr(0, text.find('\0'))), delimiter_(delimiter) {
  SkipBlanks();
}

bool TDelimitedReader::AtBlank() const noexcept {
  return pos_ < text_.size() && IsBlank(text_[pos_]);
}

void TDelimitedReader::SkipBlanks() noexcept {
  while (AtBlank())
    ++pos_;
}

std::string_view TDelimitedReader::ReadQuoted() {
  quoted_.clear();
  ++pos_;
  while (pos_ < text_.size()) {
    const std::size_t quote = text_.find(Quote, pos_);
    if (quote == std::string_view::npos) break;
    quoted_.append(text_, pos_, quote - pos_);
    pos_ = quote + 1;
    if (pos_ < text_.size() && text_[pos_] == Quote) {
      quoted_ += Quote;
      ++pos_;
    } else {
      return quoted_;
    }
  }
  // Never closed: the item runs to the end of the text.
  quoted_.append(text_, pos_);
  pos_ = text_.size();
  return quoted_;
}

bool TDelimitedReader::Next(std::string_view& item) {
  itemStart_ = pos_;
  if (trailingEmpty_) {
    trailingEmpty_ = false;
    item = {};
    return true;
  }
  if (pos_ >= text_.size()) return false;
  if (text_[pos_] == Quote) {
    item = ReadQuoted();
  } else {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !IsBlank(text_[pos_]) && text_[pos_] != delimiter_)
      ++pos_;
    item = text_.substr(start, pos_ - start);
  }
  SkipBlanks();
  if (pos_ < text_.size() && text_[pos_] == delimiter_) {
    trailingEmpty_ = pos_ + 1 == text_.size();
    ++pos_;
    SkipBlanks();
  }
  return true;
}

std::vector<std::string> SplitDelimited(std::string_view text, char delimiter) {
  std::vector<std::string> items;
  TDelimitedReader reader(text, delimiter);
  std::string_view item;
  while (reader.Next(item))
    items.emplace_back(item);
  return items;
}

std::string JoinDelimited(std::span<const std::string> items, char delimiter) {
  if (items.size() == 1 && items[0].empty()) return {Quote, Quote};
  std::string text;
  for (const std::string& item : items) {
    if (&item != items.data()) text += delimiter;
    if (NeedsQuotes(item, delimiter)) {
      AppendQuoted(text, item);
    } else {
      text += item;
    }
  }
  return text;
}
