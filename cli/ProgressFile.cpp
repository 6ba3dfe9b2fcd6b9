#include "cli/ProgressFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "watch/ProgressCsv.h"
#include "core/search/SearchRun.h"

namespace {

// Opening the progress file empties it: it must not be a file the run still has to read.
void RefuseInputs(const std::string& path, const std::vector<std::string>& inputs) {
  for (const std::string& input : inputs) {
    std::error_code error;
    if (input.empty() || !std::filesystem::equivalent(path, input, error)) continue;
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
  file_ << ProgressCsvHeader() << '\n';
}

void TProgressFile::Write(const TSearchProgress& progress) {
  if (!Healthy()) return;
  errno = 0;
  file_ << ProgressCsvLine(progress) << '\n';
  file_.flush();  // whoever watches the file sees each generation as it ends
  if (!file_) failure_ = Failure("cannot write");
}

void TProgressFile::Close() {
  errno = 0;
  file_.close();
  if (Healthy() && file_.fail()) failure_ = Failure("cannot write");
  if (!Healthy()) throw std::runtime_error(failure_);
}

std::string TProgressFile::Failure(const char* what) const {
  const int reason = errno;
  std::string text = std::string(what) + " the progress file " + path_;
  if (reason != 0) text += ": " + std::string(std::strerror(reason));
  return text;
}
