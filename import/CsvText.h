#pragma once
// The text of a file to import, as bytes the reader can walk: a UTF-8 byte-order mark is
// dropped, UTF-16 text (with its mark, as spreadsheets write "Unicode text") becomes UTF-8.
// Text without a mark is taken as it is: UTF-8 or a single-byte code page.

#include <string>

// Throws TImportError for UTF-32 text.
[[nodiscard]] std::string DecodeCsvText(std::string bytes);

// Reads and decodes a whole file; throws TSampleFileError ("Cannot open file ...") when it
// cannot be read.
[[nodiscard]] std::string ReadCsvFile(const std::string& fileName);
