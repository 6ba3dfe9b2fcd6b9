#pragma once
// One run of movar-search, plain or with restarts: the samples drawn or read, the search
// with its progress file and Ctrl+C, and the report on stdout.

struct TCliOptions;

// The exit status: 0 every sample matched, 1 stopped or limited first. Throws for samples
// that cannot be used and for output that cannot be written.
[[nodiscard]] int RunSearch(const TCliOptions& options);
