#pragma once
// Sample files dropped on the window: a drag that carries a local file is accepted anywhere
// over the window while it can open files, and the first such file of a drop goes to the
// window's open command. Other drags go on to the controls under the mouse.

#include <functional>

#include <QObject>
#include <QPointer>
#include <QString>

class QMimeData;
class QWidget;
class QWindow;

class TFileDrop : public QObject {
 public:
  TFileDrop(QWidget& target, std::function<bool()> canOpen,
            std::function<void(const QString&)> open);

  // The first local file a drag carries; empty when it carries none.
  [[nodiscard]] static QString DroppedFile(const QMimeData* data);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void WatchWindow();
  bool Drag(QEvent* event);

  QWidget& target_;
  std::function<bool()> canOpen_;
  std::function<void(const QString&)> open_;
  QPointer<QWindow> window_;
};
