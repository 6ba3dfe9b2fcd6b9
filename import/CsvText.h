#pragma once
// The text of a file to import, as bytes the reader can walk: a UTF-8 byte-order mark is
// dropped, UTF-16 text (with its mark, as spreadsheets write "Unicode text") becomes UTF-8.
// Text without a mark is taken as it is: UTF-8 or a single-byte code page.

#include <optional>
#include <string>
#include <string_view>

#include "core/search/MemoryLimit.h"
#include "import/ImportError.h"

// Throws TImportError for UTF-32 text.
[[nodiscard]] std::string DecodeCsvText(std::string bytes);

// Reads and decodes a file up to its first NUL (TCsvBytes); throws TSampleFileError
// ("Cannot open file ...") when it cannot be read, and a TImportError that names it when
// its text cannot be imported, when the file is larger than memory (before it is read) or
// memory runs out.
[[nodiscard]] std::string ReadCsvFile(const std::string& fileName,
                                      const std::optional<TMemoryLimit>& memory = MemoryLimit());

// The error of an import step on a file: "Cannot import file "<full path>". <reason>"
[[nodiscard]] TImportError NamedImportError(const std::string& fileName, std::string_view reason);
