#include "app/WindowPlacement.h"

#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStyle>
#include <QWidget>

namespace {

const QString GeometryKey = QStringLiteral("window/geometry");
const QString SplitterGroup = QStringLiteral("splitters");

}  // namespace

TWindowPlacement::TWindowPlacement(std::unique_ptr<QSettings> store) : store_(std::move(store)) {}

TWindowPlacement::~TWindowPlacement() = default;

QRect FirstFrame(QSize size, QSize frame, const QRect& available) {
  const QSize outer = (size + frame).boundedTo(available.size());
  QRect placed(QPoint(0, 0), outer);
  placed.moveCenter(available.center());
  return placed;
}

void TWindowPlacement::Restore(QWidget& window, QSize size, const QList<QSplitter*>& splitters) {
  if (store_) {
    store_->beginGroup(SplitterGroup);
    for (QSplitter* splitter : splitters)
      splitter->restoreState(store_->value(splitter->objectName()).toByteArray());
    store_->endGroup();
    if (window.restoreGeometry(store_->value(GeometryKey).toByteArray())) return;
  }
  window.resize(size);
  const QScreen* screen = window.screen();
  if (!screen) return;
  const QRect available = screen->availableGeometry();
  // The frame is known only once the window is shown: a title bar and two borders.
  const int border = window.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
  const QSize frame(2 * border,
                    window.style()->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * border);
  const QRect placed = FirstFrame(size, frame, available);
  if (placed.size() == size + frame) {
    QRect centred = window.frameGeometry();
    centred.moveCenter(available.center());
    window.move(centred.topLeft());
    return;
  }
  window.resize(placed.size() - frame);  // a large font or scale: the title bar stays on screen
  window.move(placed.topLeft());
}

void TWindowPlacement::Keep(const QWidget& window, const QList<QSplitter*>& splitters) {
  if (!store_) return;
  store_->setValue(GeometryKey, window.saveGeometry());
  store_->beginGroup(SplitterGroup);
  for (const QSplitter* splitter : splitters)
    store_->setValue(splitter->objectName(), splitter->saveState());
  store_->endGroup();
  store_->sync();
}
