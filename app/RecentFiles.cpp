#include "app/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const QString FilesKey = QStringLiteral("recentFiles");
const QString FolderKey = QStringLiteral("lastFolder");

}  // namespace

TRecentFiles::TRecentFiles(std::unique_ptr<QSettings> store) : store_(std::move(store)) {
  if (!store_) return;
  files_ = store_->value(FilesKey).toStringList();
  files_.removeAll(QString());
  if (files_.size() > MaxFiles) files_.resize(MaxFiles);
  lastFolder_ = store_->value(FolderKey).toString();
}

TRecentFiles::~TRecentFiles() = default;

void TRecentFiles::Remember(const QString& path) {
  const QFileInfo file(path);
  const QString absolute = file.absoluteFilePath();
  files_.removeAll(absolute);
  files_.prepend(absolute);
  if (files_.size() > MaxFiles) files_.resize(MaxFiles);
  lastFolder_ = file.absolutePath();
  Store();
}

void TRecentFiles::Forget(const QString& path) {
  if (files_.removeAll(QFileInfo(path).absoluteFilePath()) > 0) Store();
}

void TRecentFiles::Store() {
  if (!store_) return;
  store_->setValue(FilesKey, files_);
  store_->setValue(FolderKey, lastFolder_);
  store_->sync();
}
