#pragma once
// The File menu's "Open Recent": one item per recent sample file, numbered for the keyboard;
// choosing one opens that file.

#include <functional>

#include <QMenu>

class TRecentFiles;

class TRecentFilesMenu : public QMenu {
 public:
  TRecentFilesMenu(const TRecentFiles& files, std::function<void(const QString&)> open,
                   QWidget* parent);

  // Lists the files again; call after the list changed.
  void Refresh();

 private:
  const TRecentFiles& files_;
  std::function<void(const QString&)> open_;
};
