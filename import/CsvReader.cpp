#include "import/CsvReader.h"

namespace {

constexpr char Quote = '"';

}  // namespace

bool TCsvRecord::Blank() const noexcept {
  for (const std::string_view field : Fields) {
    if (field.find_first_not_of(" \t") != std::string_view::npos) return false;
  }
  return true;
}

TCsvReader::TCsvReader(std::string_view text, char delimiter) noexcept
    : text_(text), delimiter_(delimiter) {}

bool TCsvReader::AtBreak() const noexcept {
  return pos_ < text_.size() && (text_[pos_] == '\r' || text_[pos_] == '\n');
}

// CR LF, a lone LF or a lone CR: one line break.
void TCsvReader::SkipBreak() noexcept {
  if (text_[pos_++] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
  ++line_;
}

// Line breaks inside a quoted field still move the line count.
void TCsvReader::NoteBreaks(std::size_t from, std::size_t to) noexcept {
  for (std::size_t i = from; i < to; ++i) {
    if (text_[i] == '\n' || (text_[i] == '\r' && (i + 1 >= to || text_[i + 1] != '\n'))) ++line_;
  }
}

bool TCsvReader::Next(TCsvRecord& record) {
  record.Fields.clear();
  copies_.clear();
  copied_.clear();
  while (AtBreak())
    SkipBreak();
  if (pos_ >= text_.size()) return false;
  record.Line = line_;
  for (;;) {
    ReadField(record);
    if (pos_ < text_.size() && text_[pos_] == delimiter_) {
      ++pos_;
      continue;  // a delimiter before a break or the end leaves an empty last field
    }
    if (AtBreak()) SkipBreak();
    break;
  }
  // Only now is the copy buffer done growing.
  for (const TCopiedField& field : copied_)
    record.Fields[field.Index] = std::string_view(copies_).substr(field.Offset, field.Size);
  return true;
}

void TCsvReader::ReadField(TCsvRecord& record) {
  std::size_t start = pos_;
  while (start < text_.size() && (text_[start] == ' ' || text_[start] == '\t') &&
         text_[start] != delimiter_) {
    ++start;
  }
  if (start < text_.size() && text_[start] == Quote) {
    pos_ = start;
    ReadQuoted(record);
    return;
  }
  start = pos_;
  while (pos_ < text_.size() && text_[pos_] != delimiter_ && !AtBreak())
    ++pos_;
  record.Fields.push_back(text_.substr(start, pos_ - start));
}

void TCsvReader::ReadQuoted(TCsvRecord& record) {
  const std::size_t open = ++pos_;
  bool copied = false;
  std::size_t offset = 0;
  std::size_t piece = open;  // start of the text not yet taken into the copy
  std::size_t end = text_.size();
  for (;;) {
    const std::size_t quote = text_.find(Quote, pos_);
    if (quote == std::string_view::npos) {  // never closed: the field runs to the end
      pos_ = end;
      break;
    }
    if (quote + 1 < text_.size() && text_[quote + 1] == Quote) {
      if (!copied) {
        copied = true;
        offset = copies_.size();
      }
      copies_.append(text_, piece, quote + 1 - piece);
      pos_ = piece = quote + 2;
      continue;
    }
    end = quote;
    pos_ = quote + 1;
    break;
  }
  NoteBreaks(open, end);
  // Text after the closing quote belongs to the field as it stands.
  const std::size_t after = pos_;
  while (pos_ < text_.size() && text_[pos_] != delimiter_ && !AtBreak())
    ++pos_;
  const bool trailing =
      text_.substr(after, pos_ - after).find_first_not_of(" \t") != std::string_view::npos;
  if (!copied && !trailing) {
    record.Fields.push_back(text_.substr(open, end - open));
    return;
  }
  if (!copied) offset = copies_.size();
  copies_.append(text_, piece, end - piece);
  if (trailing) copies_.append(text_, after, pos_ - after);
  copied_.push_back({record.Fields.size(), offset, copies_.size() - offset});
  record.Fields.emplace_back();
}
