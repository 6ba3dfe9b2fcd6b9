#pragma once
// The window's size, place and splitters, kept between runs of the program. At the first
// start the window takes its own size, no larger than the screen's free area, centred on
// it.

#include <memory>

#include <QList>
#include <QRect>
#include <QSize>

class QSettings;
class QSplitter;
class QWidget;

class TWindowPlacement {
 public:
  // Without a store nothing is kept: every start is the first.
  explicit TWindowPlacement(std::unique_ptr<QSettings> store);
  ~TWindowPlacement();

  // Before the window is shown. Splitters are told apart by their object names.
  void Restore(QWidget& window, QSize size, const QList<QSplitter*>& splitters);
  // As the window closes.
  void Keep(const QWidget& window, const QList<QSplitter*>& splitters);

 private:
  std::unique_ptr<QSettings> store_;
};

// The window's first frame: size, with frame (the title bar and borders) around it, made no
// larger than the free area and centred on it.
[[nodiscard]] QRect FirstFrame(QSize size, QSize frame, const QRect& available);
