#include "cli/ProgressFile.h"

#include <stdexcept>

#include "watch/ProgressCsv.h"
#include "core/search/SearchRun.h"

TProgressFile::TProgressFile(const std::string& path)
    : path_(path), file_(path, std::ios::out | std::ios::trunc) {
  if (!file_) throw std::runtime_error("cannot create the progress file " + path_);
  file_ << ProgressCsvHeader() << '\n';
}

void TProgressFile::Write(const TSearchProgress& progress) {
  file_ << ProgressCsvLine(progress) << '\n';
}

void TProgressFile::Close() {
  file_.close();
  if (file_.fail()) throw std::runtime_error("cannot write the progress file " + path_);
}
