#pragma once
// The file named by --progress-file: a header line, then one line per generation as the
// search reports it, each on the disk before the next generation starts. A file that cannot
// be created ends the run before it starts; one that cannot be written stops it as Ctrl+C
// does, and it then fails with the system's reason instead of leaving a short file behind
// as if it were whole; the file then ends at its last whole line. A file the run reads is
// never opened.

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

struct TSearchProgress;

class TProgressFile {
 public:
  // Throws std::runtime_error when the file cannot be created or is one of inputs.
  TProgressFile(const std::string& path, const std::vector<std::string>& inputs);

  void Write(const TSearchProgress& progress);
  // False once a line could not be written: the run should stop.
  [[nodiscard]] bool Healthy() const noexcept { return failure_.empty(); }
  // Throws std::runtime_error when a line could not be written.
  void Close();

 private:
  // What went wrong, with the system's reason when it gives one.
  [[nodiscard]] std::string Failure(const char* what) const;
  void Put(const std::string& line);
  void Fail(const char* what);

  std::string path_;
  std::ofstream file_;
  std::string failure_;
  std::uintmax_t whole_ = 0;    // bytes of the lines known to be on the disk
  std::uintmax_t pending_ = 0;  // bytes of the lines given since
};
