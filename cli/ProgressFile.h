#pragma once
// The file named by --progress-file: a header line, then one line per generation as the
// search reports it. A file that cannot be created or written ends the run with an error
// instead of leaving a short file behind as if it were whole.

#include <fstream>
#include <string>

struct TSearchProgress;

class TProgressFile {
 public:
  // Throws std::runtime_error when the file cannot be created.
  explicit TProgressFile(const std::string& path);

  void Write(const TSearchProgress& progress);
  // Throws std::runtime_error when a line could not be written.
  void Close();

 private:
  std::string path_;
  std::ofstream file_;
};
