#include "TextFile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#ifdef __unix__
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

struct TFileCloser {
  void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using TFile = std::unique_ptr<std::FILE, TFileCloser>;

[[noreturn]] void ThrowFileError(const char* what, const std::string& fileName,
                                 const std::error_code& cause) {
  throw TSampleFileError(std::string(what) + " \"" + FullPath(fileName) + "\". " + cause.message());
}

std::error_code LastError() noexcept {
  return {errno != 0 ? errno : EIO, std::generic_category()};
}

bool WriteAll(std::FILE* file, std::string_view content) noexcept {
  return std::fwrite(content.data(), 1, content.size(), file) == content.size() &&
         std::fflush(file) == 0;
}

// A device or a pipe is written where it is: renaming over it would put a file in its place.
void WriteInPlace(const fs::path& target, const std::string& fileName, std::string_view content) {
  errno = 0;
  TFile file(std::fopen(target.string().c_str(), "wb"));
  if (!file) ThrowFileError("Cannot create file", fileName, LastError());
  const bool written = WriteAll(file.get(), content);
  if (std::fclose(file.release()) != 0 || !written) throw TSampleFileError("Stream write error");
}

// The rename replaces the file whatever its permissions; refuse as opening it for writing would.
void RequireWritable(const fs::path& target, const std::string& fileName) {
  errno = 0;
  if (!TFile(std::fopen(target.string().c_str(), "r+b"))) {
    ThrowFileError("Cannot create file", fileName, LastError());
  }
}

// A new file beside the target, never one that exists already.
std::pair<TFile, fs::path> CreateTemporary(const fs::path& target, const std::string& fileName) {
  for (int attempt = 0;; ++attempt) {
    fs::path temporary = target;
    temporary += ".~" + std::to_string(attempt) + ".tmp";
    errno = 0;
    TFile file(std::fopen(temporary.string().c_str(), "wbx"));
    if (file) return {std::move(file), temporary};
    if (errno != EEXIST || attempt == 99)
      ThrowFileError("Cannot create file", fileName, LastError());
  }
}

}  // namespace

std::string FullPath(const std::string& fileName) {
  std::error_code error;
  const fs::path path = fs::absolute(fileName, error);
  return error ? fileName : path.lexically_normal().string();
}

std::string ReadTextFile(const std::string& fileName) {
  errno = 0;
  const TFile file(std::fopen(fileName.c_str(), "rb"));
  if (!file) ThrowFileError("Cannot open file", fileName, LastError());
  std::string content;
  std::error_code error;
  const auto size = fs::file_size(fileName, error);
  if (!error) content.reserve(size);
  char buffer[1 << 16];
  while (const std::size_t read = std::fread(buffer, 1, sizeof buffer, file.get())) {
    content.append(buffer, read);
  }
  // Opening a folder succeeds on some systems; reading it does not.
  if (std::ferror(file.get())) ThrowFileError("Cannot open file", fileName, LastError());
  return content;
}

void ReplaceTextFile(const std::string& fileName, std::string_view content) {
  fs::path target = fileName;
  std::error_code error;
  // Replace what a link points to, not the link.
  if (fs::is_symlink(target, error)) {
    fs::path resolved = fs::canonical(target, error);
    if (!error) target = std::move(resolved);
  }
  const fs::file_status old = fs::status(target, error);
  if (fs::exists(old) && !fs::is_regular_file(old) && !fs::is_directory(old)) {
    WriteInPlace(target, fileName, content);
    return;
  }
  if (fs::is_regular_file(old)) RequireWritable(target, fileName);
  auto [file, temporary] = CreateTemporary(target, fileName);
  bool written = WriteAll(file.get(), content);
#ifdef __unix__
  // The rename must not reach the disk before the data does.
  written = written && ::fsync(::fileno(file.get())) == 0;
#endif
  const bool closed = std::fclose(file.release()) == 0;
  if (!written || !closed) {
    fs::remove(temporary, error);
    throw TSampleFileError("Stream write error");
  }
  if (fs::is_regular_file(old)) fs::permissions(temporary, old.permissions(), error);
  fs::rename(temporary, target, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    ThrowFileError("Cannot create file", fileName, error);
  }
}
