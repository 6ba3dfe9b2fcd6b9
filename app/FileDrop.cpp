#include "FileDrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

TFileDrop::TFileDrop(QWidget& target, std::function<bool()> canOpen,
                     std::function<void(const QString&)> open)
    : QObject(&target), canOpen_(std::move(canOpen)), open_(std::move(open)) {
  target.setAcceptDrops(true);
  target.installEventFilter(this);
}

QString TFileDrop::DroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return url.toLocalFile();
  }
  return {};
}

bool TFileDrop::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
    return QObject::eventFilter(watched, event);
  }
  auto* drop = static_cast<QDropEvent*>(event);
  const QString path = DroppedFile(drop->mimeData());
  if (path.isEmpty() || !canOpen_()) {
    drop->ignore();
    return true;
  }
  drop->acceptProposedAction();
  if (type == QEvent::Drop) {
    // The drag source waits for the drop to finish: open, with its message boxes, after it.
    QTimer::singleShot(0, this, [this, path] { open_(path); });
  }
  return true;
}
