#include "import/CsvBytes.h"

#include "import/CsvText.h"

namespace {

// The marks tell the encoding; four bytes tell UTF-32 from UTF-16.
constexpr std::size_t MarkBytes = 4;

}  // namespace

bool TCsvBytes::Append(std::string_view block) {
  if (ended_) return false;
  bytes_.append(block);
  Scan(false);
  return !ended_;
}

void TCsvBytes::Scan(bool last) {
  if (ended_) return;
  if (encoding_ == TEncoding::Unknown) {
    if (bytes_.size() < MarkBytes && !last) return;
    const std::string_view start = std::string_view(bytes_).substr(0, MarkBytes);
    if (start == std::string_view("\xFF\xFE\0\0", 4) ||
        start == std::string_view("\0\0\xFE\xFF", 4)) {
      // Refused whole when decoded; nothing after the mark matters.
      encoding_ = TEncoding::Utf32;
      bytes_.resize(MarkBytes);
      ended_ = true;
      return;
    }
    const bool utf16 = start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF");
    encoding_ = utf16 ? TEncoding::Utf16 : TEncoding::Bytes;
    scanned_ = utf16 ? 2 : 0;
  }
  if (encoding_ == TEncoding::Utf16) {
    for (; scanned_ + 1 < bytes_.size(); scanned_ += 2) {
      if (bytes_[scanned_] == '\0' && bytes_[scanned_ + 1] == '\0') {
        bytes_.resize(scanned_);
        ended_ = true;
        return;
      }
    }
    return;
  }
  const std::size_t nul = bytes_.find('\0', scanned_);
  if (nul == std::string::npos) {
    scanned_ = bytes_.size();
    return;
  }
  bytes_.resize(nul);
  ended_ = true;
}

std::string TCsvBytes::Text() && {
  Scan(true);
  ended_ = true;
  return DecodeCsvText(std::move(bytes_));
}
