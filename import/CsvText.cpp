#include "import/CsvText.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/search/SearchMemory.h"
#include "exchange/TextFile.h"
#include "import/CsvImport.h"
#include "import/CsvBytes.h"

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeMark = "\xFF\xFE";
constexpr std::string_view Utf16BeMark = "\xFE\xFF";
constexpr std::string_view Utf32LeMark = {"\xFF\xFE\0\0", 4};
constexpr std::string_view Utf32BeMark = {"\0\0\xFE\xFF", 4};
constexpr char32_t Replacement = 0xFFFD;

void AppendUtf8(std::string& text, char32_t c) {
  if (c < 0x80) {
    text += static_cast<char>(c);
  } else if (c < 0x800) {
    text += static_cast<char>(0xC0 | (c >> 6));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    text += static_cast<char>(0xE0 | (c >> 12));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (c >> 18));
    text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The code units after the mark; an odd last byte and unpaired surrogates become U+FFFD.
std::string FromUtf16(std::string_view bytes, bool bigEndian) {
  const auto unit = [&](std::size_t i) -> char16_t {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  };
  std::string text;
  text.reserve(bytes.size() / 2);
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    const char16_t high = unit(i);
    if (high >= 0xD800 && high < 0xDC00 && i + 3 < bytes.size()) {
      const char16_t low = unit(i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        AppendUtf8(text, 0x10000 + ((char32_t{high} - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    AppendUtf8(text, high >= 0xD800 && high < 0xE000 ? Replacement : char32_t{high});
  }
  if (i < bytes.size()) AppendUtf8(text, Replacement);
  return text;
}

struct TCloser {
  void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};

}  // namespace

std::string DecodeCsvText(std::string bytes) {
  const std::string_view view = bytes;
  if (view.starts_with(Utf32LeMark) || view.starts_with(Utf32BeMark)) {
    throw TImportError("UTF-32 text cannot be imported; save the file as UTF-8 or UTF-16.");
  }
  if (view.starts_with(Utf8Mark)) return bytes.erase(0, Utf8Mark.size());
  if (view.starts_with(Utf16LeMark)) return FromUtf16(view.substr(2), false);
  if (view.starts_with(Utf16BeMark)) return FromUtf16(view.substr(2), true);
  return bytes;
}

std::string ReadCsvFile(const std::string& fileName, const std::optional<TMemoryLimit>& memory) {
  errno = 0;
  const std::unique_ptr<std::FILE, TCloser> file(std::fopen(fileName.c_str(), "rb"));
  if (!file) ThrowOpenError(fileName);
  try {
    TCsvBytes bytes;
    std::error_code error;
    if (const auto size = std::filesystem::file_size(fileName, error); !error) {
      // Its text alone, before the samples it gives: refused before a byte is read.
      if (memory && size > memory->Bytes) {
        throw TImportError("Its text needs " + FormatBytes(size) + " of memory, more than the " +
                           FormatBytes(memory->Bytes) + LimitText(*memory));
      }
      bytes.Reserve(size);
    }
    std::vector<char> block(std::size_t{1} << 16);
    while (const std::size_t read = std::fread(block.data(), 1, block.size(), file.get())) {
      if (!bytes.Append(std::string_view(block.data(), read))) break;
    }
    // Opening a folder succeeds on some systems; reading it does not.
    if (!bytes.Ended() && std::ferror(file.get())) ThrowOpenError(fileName);
    return std::move(bytes).Text();
  } catch (const TImportError& error) {
    throw NamedImportError(fileName, error.what());
  } catch (const std::bad_alloc&) {
    throw NamedImportError(fileName, "There is not enough memory to read it.");
  }
}

TImportError NamedImportError(const std::string& fileName, std::string_view reason) {
  return TImportError("Cannot import file \"" + FullPath(fileName) + "\". " + std::string(reason));
}
