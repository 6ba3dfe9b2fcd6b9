#pragma once
// The error of a file that cannot be read, and a replace that never leaves a half-written
// file behind. Failures throw TSampleFileError.

#include <string>
#include <string_view>

#include "exchange/SampleFileError.h"

// The name as a full path, as the error texts show it.
[[nodiscard]] std::string FullPath(const std::string& fileName);

// Whether the two names reach one file: the same file where both exist (through links,
// "." and ".." alike), else the same path once both are made absolute and plain.
[[nodiscard]] bool SameFile(const std::string& first, const std::string& second);

// "Cannot open file "<full path>". <the system's reason, from errno>"
[[noreturn]] void ThrowOpenError(const std::string& fileName);

// Writes a temporary file beside the target (NAME.~N.tmp, created with the target's
// permissions) and renames it over the target once every byte is written and flushed; on
// failure the old file is intact and the temporary gone. Temporaries that a save killed
// midway left beside the target are removed first.
void ReplaceTextFile(const std::string& fileName, std::string_view content);
