#include "app/FileDrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QWindow>

TFileDrop::TFileDrop(QWidget& target, std::function<bool()> canOpen,
                     std::function<void(const QString&)> open)
    : QObject(&target), target_(target), canOpen_(std::move(canOpen)), open_(std::move(open)) {
  target.setAcceptDrops(true);
  target.installEventFilter(this);
  WatchWindow();
}

QString TFileDrop::DroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return url.toLocalFile();
  }
  return {};
}

// Drags reach the window's native window before any control: watched there, a file dropped on
// a control that takes drops of its own (the text box, the chart) still opens.
void TFileDrop::WatchWindow() {
  QWindow* window = target_.windowHandle();
  if (window == window_) return;
  if (window_) window_->removeEventFilter(this);
  window_ = window;
  if (window_) window_->installEventFilter(this);
}

bool TFileDrop::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Show:
    case QEvent::WinIdChange:
      if (watched == &target_) WatchWindow();
      break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return Drag(event);
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

bool TFileDrop::Drag(QEvent* event) {
  auto* drag = static_cast<QDropEvent*>(event);
  const QString path = DroppedFile(drag->mimeData());
  if (path.isEmpty()) return false;  // not a file: the control under the mouse decides
  if (!canOpen_()) {
    drag->ignore();
    return true;
  }
  drag->acceptProposedAction();
  if (event->type() == QEvent::Drop) {
    // The drag source waits for the drop to finish: open, with its message boxes, after it.
    QTimer::singleShot(0, this, [this, path] { open_(path); });
  }
  return true;
}
