// A file to import taken block by block: however the blocks fall, the text is the same and
// ends at the first NUL (code unit); importing it with a small row limit gives at most that
// many rows or says there were more.

#include <string>

#include "fuzz/FuzzInput.h"
#include "import/CsvBytes.h"
#include "import/CsvImport.h"
#include "import/ImportError.h"

namespace {

std::optional<std::string> Fed(std::string_view bytes, std::size_t block) {
  TCsvBytes fed;
  for (std::size_t at = 0; at < bytes.size(); at += block) {
    if (!fed.Append(bytes.substr(at, block))) break;
  }
  try {
    return std::move(fed).Text();
  } catch (const TImportError&) {
    return std::nullopt;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t block = 1 + data[0] % 16;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::optional<std::string> whole = Fed(bytes, bytes.size() + 1);
  FUZZ_CHECK(Fed(bytes, block) == whole);
  if (!whole) return 0;
  FUZZ_CHECK(whole->find('\0') == std::string::npos);

  constexpr std::int64_t Limit = 3;
  const TCsvImportSettings settings = DetectCsvImport(*whole);
  std::optional<std::size_t> unlimited;
  try {
    unlimited = static_cast<std::size_t>(ImportCsv(*whole, settings).Samples.Count());
  } catch (const TImportError&) {
  }
  try {
    const TCsvImportResult limited = ImportCsv(*whole, settings, Limit);
    FUZZ_CHECK(unlimited && static_cast<std::size_t>(limited.Samples.Count()) == *unlimited &&
               *unlimited <= Limit);
  } catch (const TImportError& error) {
    // More rows than the limit are refused as such; any other refusal, such as a header
    // that names no column, refuses the whole text too.
    const bool over = std::string(error.what()).starts_with("It has more than 3 rows");
    FUZZ_CHECK(!(unlimited && *unlimited > Limit) || over);
    FUZZ_CHECK(!unlimited || (over && *unlimited > Limit));
  }
  return 0;
}
