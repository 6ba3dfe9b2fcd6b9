#include "cli/ProgressFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "exchange/TextFile.h"
#include "watch/ProgressCsv.h"
#include "core/search/SearchRun.h"

namespace {

// Opening the progress file empties it: it must not be a file the run still has to read.
void RefuseInputs(const std::string& path, const std::vector<std::string>& inputs) {
  for (const std::string& input : inputs) {
    if (input.empty() || !SameFile(path, input)) continue;
    throw std::runtime_error("--progress-file: " + path + " is also an input of the run");
  }
}

}  // namespace

TProgressFile::TProgressFile(const std::string& path, const std::vector<std::string>& inputs)
    : path_(path) {
  RefuseInputs(path, inputs);
  errno = 0;
  file_.open(path, std::ios::out | std::ios::trunc);
  if (!file_) throw std::runtime_error(Failure("cannot create"));
  // On the disk with the first generation's line.
  Put(ProgressCsvHeader());
}

void TProgressFile::Put(const std::string& line) {
  file_ << line << '\n';
  pending_ += line.size() + 1;
}

void TProgressFile::Write(const TSearchProgress& progress) {
  if (!Healthy()) return;
  errno = 0;
  Put(ProgressCsvLine(progress));
  file_.flush();  // whoever watches the file sees each generation as it ends
  if (!file_) {
    Fail("cannot write");
    return;
  }
  whole_ += pending_;
  pending_ = 0;
}

void TProgressFile::Close() {
  errno = 0;
  file_.close();
  if (Healthy() && file_.fail()) Fail("cannot write");
  if (!Healthy()) throw std::runtime_error(failure_);
}

void TProgressFile::Fail(const char* what) {
  failure_ = Failure(what);
  // A full disk may have taken part of a line: the file ends at the last whole one instead,
  // so that no cut line reads as a generation's figures.
  file_.close();
  std::error_code error;
  if (std::filesystem::is_regular_file(path_, error))
    std::filesystem::resize_file(path_, whole_, error);
}

std::string TProgressFile::Failure(const char* what) const {
  const int reason = errno;
  std::string text = std::string(what) + " the progress file " + path_;
  if (reason != 0) text += ": " + std::string(std::strerror(reason));
  return text;
}
