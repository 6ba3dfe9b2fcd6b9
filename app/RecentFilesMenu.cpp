#include "app/RecentFilesMenu.h"

#include <QDir>

#include "app/RecentFiles.h"

TRecentFilesMenu::TRecentFilesMenu(const TRecentFiles& files,
                                   std::function<void(const QString&)> open, QWidget* parent)
    : QMenu(QStringLiteral("Open &Recent"), parent), files_(files), open_(std::move(open)) {
  setObjectName(QStringLiteral("RecentFiles1"));
  Refresh();
}

void TRecentFilesMenu::Refresh() {
  clear();
  if (files_.Files().isEmpty()) {
    addAction(QStringLiteral("No recent files"))->setEnabled(false);
    return;
  }
  int number = 0;
  for (const QString& path : files_.Files()) {
    QString shown = QDir::toNativeSeparators(path);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* item = addAction(QStringLiteral("&%1 %2").arg(++number).arg(shown));
    // The list may change while the item's command runs; it keeps its own copy of the path.
    connect(item, &QAction::triggered, this, [this, path] { open_(path); });
  }
}
