#pragma once
// The bytes of a file to import, taken block by block as they are read. The text ends at
// its first NUL, in UTF-16 text at its first NUL code unit, so that a device of endless
// zeros or noise is read no further than that.

#include <string>
#include <string_view>

class TCsvBytes {
 public:
  // Room for a file of known size, so that its bytes are not copied as they grow.
  void Reserve(std::size_t bytes) { bytes_.reserve(bytes); }
  // False once the text has ended: later blocks are not wanted.
  bool Append(std::string_view block);
  [[nodiscard]] bool Ended() const noexcept { return ended_; }
  // The text as UTF-8 (DecodeCsvText); throws TImportError for UTF-32 text.
  [[nodiscard]] std::string Text() &&;

 private:
  enum class TEncoding { Unknown, Bytes, Utf16, Utf32 };

  // Finds the end of the text in the bytes not looked at yet; last: no more will come.
  void Scan(bool last);

  std::string bytes_;
  std::size_t scanned_ = 0;
  TEncoding encoding_ = TEncoding::Unknown;
  bool ended_ = false;
};
