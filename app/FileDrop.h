#pragma once
// Sample files dropped on the window: a drag that carries a local file is accepted while the
// window can open files, and the first such file of a drop goes to the window's open command.

#include <functional>

#include <QObject>
#include <QString>

class QMimeData;
class QWidget;

class TFileDrop : public QObject {
 public:
  TFileDrop(QWidget& target, std::function<bool()> canOpen,
            std::function<void(const QString&)> open);

  // The first local file a drag carries; empty when it carries none.
  [[nodiscard]] static QString DroppedFile(const QMimeData* data);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<bool()> canOpen_;
  std::function<void(const QString&)> open_;
};
