#pragma once
// Whole-file reading and a replace that never leaves a half-written file behind.
// Failures throw TSampleFileError.

#include <string>
#include <string_view>

#include "exchange/SampleFileError.h"

// The name as a full path, as the error texts show it.
[[nodiscard]] std::string FullPath(const std::string& fileName);

[[nodiscard]] std::string ReadTextFile(const std::string& fileName);

// Writes a temporary file beside the target and renames it over the target once every
// byte is written and flushed; on failure the old file is intact and the temporary gone.
void ReplaceTextFile(const std::string& fileName, std::string_view content);
