#include "exchange/TextFile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#ifdef __unix__
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

// "Stream write error", then the file and the system's reason, so that a full disk says so.
[[noreturn]] void ThrowWriteError(const std::string& fileName, const std::error_code& cause) {
  ThrowFileError("Stream write error", fileName, cause);
}

// What a link points to, through any chain of links, even when the last one points to a
// file that does not exist yet; the name itself when it is no link.
fs::path LinkTarget(fs::path path) {
  std::error_code error;
  // As many hops as the system follows before it calls it a loop.
  for (int hop = 0; hop < 40 && fs::is_symlink(fs::symlink_status(path, error)); ++hop) {
    const fs::path next = fs::read_symlink(path, error);
    if (error) break;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return path;
}

// A device or a pipe is written where it is: renaming over it would put a file in its place.
void WriteInPlace(const fs::path& target, const std::string& fileName, std::string_view content) {
  errno = 0;
  TFile file(std::fopen(target.string().c_str(), "wb"));
  if (!file) ThrowFileError("Cannot create file", fileName, LastError());
  bool written = WriteAll(file.get(), content);
  std::error_code cause = LastError();
  if (std::fclose(file.release()) != 0 && written) {
    written = false;
    cause = LastError();
  }
  if (!written) ThrowWriteError(fileName, cause);
}

// The rename replaces the file whatever its permissions; refuse as opening it for writing would.
void RequireWritable(const fs::path& target, const std::string& fileName) {
  errno = 0;
  if (!TFile(std::fopen(target.string().c_str(), "r+b"))) {
    ThrowFileError("Cannot create file", fileName, LastError());
  }
}

constexpr int TemporaryNames = 100;

// As fopen creates a file: read and write for all, less the umask.
constexpr fs::perms NewFileMode = fs::perms::owner_read | fs::perms::owner_write |
                                  fs::perms::group_read | fs::perms::group_write |
                                  fs::perms::others_read | fs::perms::others_write;

// Our temporaries beside the target: NAME.~0.tmp to NAME.~99.tmp.
fs::path TemporaryName(const fs::path& target, int attempt) {
  fs::path temporary = target;
  temporary += ".~" + std::to_string(attempt) + ".tmp";
  return temporary;
}

#ifdef __unix__
// A save holds a lock on its temporary until the rename; one that nobody holds is what a
// save killed midway left behind.
void RemoveStaleTemporaries(const fs::path& target) {
  for (int attempt = 0; attempt < TemporaryNames; ++attempt) {
    const fs::path temporary = TemporaryName(target, attempt);
    std::error_code error;
    if (!fs::is_regular_file(fs::symlink_status(temporary, error))) continue;
    const int descriptor = ::open(temporary.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) continue;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) fs::remove(temporary, error);
    ::close(descriptor);
  }
}

// Created with the target's permissions, so that its content is never more widely readable
// than the target's, even when a save is killed midway; locked as being written.
TFile OpenTemporary(const fs::path& temporary, fs::perms mode) {
  const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                static_cast<mode_t>(mode & fs::perms::all));
  if (descriptor < 0) return nullptr;
  struct stat opened {};
  struct stat named {};
  // Between the creation and the lock another save may have taken it for stale.
  if (::flock(descriptor, LOCK_EX) != 0 || ::fstat(descriptor, &opened) != 0 ||
      ::stat(temporary.c_str(), &named) != 0 || opened.st_ino != named.st_ino ||
      opened.st_dev != named.st_dev) {
    ::close(descriptor);
    errno = EEXIST;
    return nullptr;
  }
  TFile file(::fdopen(descriptor, "wb"));
  if (!file) ::close(descriptor);
  return file;
}
#else
// Another save's temporary is open and cannot be removed; a stale one can.
void RemoveStaleTemporaries(const fs::path& target) {
  for (int attempt = 0; attempt < TemporaryNames; ++attempt) {
    std::error_code error;
    const fs::path temporary = TemporaryName(target, attempt);
    if (fs::is_regular_file(fs::symlink_status(temporary, error))) fs::remove(temporary, error);
  }
}

TFile OpenTemporary(const fs::path& temporary, fs::perms) {
  return TFile(std::fopen(temporary.string().c_str(), "wbx"));
}
#endif

// A new file beside the target, never one that exists already.
std::pair<TFile, fs::path> CreateTemporary(const fs::path& target, const std::string& fileName,
                                           fs::perms mode) {
  RemoveStaleTemporaries(target);
  for (int attempt = 0;; ++attempt) {
    fs::path temporary = TemporaryName(target, attempt);
    errno = 0;
    TFile file = OpenTemporary(temporary, mode);
    if (file) return {std::move(file), temporary};
    if (errno != EEXIST || attempt == TemporaryNames - 1)
      ThrowFileError("Cannot create file", fileName, LastError());
  }
}

}  // namespace

std::string FullPath(const std::string& fileName) {
  std::error_code error;
  const fs::path path = fs::absolute(fileName, error);
  return error ? fileName : path.lexically_normal().string();
}

bool SameFile(const std::string& first, const std::string& second) {
  std::error_code error;
  if (fs::equivalent(first, second, error)) return true;
  // A file not made yet: its place decides, a link on the way to it followed.
  const fs::path a = fs::weakly_canonical(first, error);
  if (error) return false;
  const fs::path b = fs::weakly_canonical(second, error);
  return !error && a == b;
}

void ThrowOpenError(const std::string& fileName) {
  ThrowFileError("Cannot open file", fileName, LastError());
}

void ReplaceTextFile(const std::string& fileName, std::string_view content) {
  // Replace what a link points to, not the link.
  const fs::path target = LinkTarget(fileName);
  std::error_code error;
  const fs::file_status old = fs::status(target, error);
  if (fs::exists(old) && !fs::is_regular_file(old) && !fs::is_directory(old)) {
    WriteInPlace(target, fileName, content);
    return;
  }
  const bool replacing = fs::is_regular_file(old);
  if (replacing) RequireWritable(target, fileName);
  auto [file, temporary] =
      CreateTemporary(target, fileName, replacing ? old.permissions() : NewFileMode);
  errno = 0;
  bool written = WriteAll(file.get(), content);
#ifdef __unix__
  // The rename must not reach the disk before the data does.
  written = written && ::fsync(::fileno(file.get())) == 0;
#endif
  std::error_code cause = LastError();
  if (std::fclose(file.release()) != 0 && written) {
    written = false;
    cause = LastError();
  }
  if (!written) {
    fs::remove(temporary, error);
    ThrowWriteError(fileName, cause);
  }
  // The creation's mode went through the umask; the target's is what it keeps.
  if (replacing) fs::permissions(temporary, old.permissions(), error);
  fs::rename(temporary, target, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    ThrowFileError("Cannot create file", fileName, error);
  }
}
