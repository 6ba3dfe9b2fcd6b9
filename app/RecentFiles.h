#pragma once
// The sample files the user opened or saved last, kept between runs: the list of the File
// menu's "Open Recent" and the folder in which the open and save dialogs start.

#include <memory>

#include <QString>
#include <QStringList>

class QSettings;

class TRecentFiles {
 public:
  static constexpr qsizetype MaxFiles = 8;  // each with a one-digit mnemonic in the menu

  // Without a store the list lives only as long as the object.
  explicit TRecentFiles(std::unique_ptr<QSettings> store);
  ~TRecentFiles();

  // Most recent first, absolute paths.
  [[nodiscard]] const QStringList& Files() const noexcept { return files_; }
  // Empty until a file was opened or saved.
  [[nodiscard]] const QString& LastFolder() const noexcept { return lastFolder_; }

  // A file just opened or saved goes first in the list and its folder becomes the last folder.
  void Remember(const QString& path);
  // A file that could not be opened leaves the list.
  void Forget(const QString& path);

 private:
  void Store();

  std::unique_ptr<QSettings> store_;
  QStringList files_;
  QString lastFolder_;
};
