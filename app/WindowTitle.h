#pragma once
// The title bar follows the sample history: it names the samples' file and marks samples
// not saved anywhere.

#include <QObject>

class QWidget;
class TSampleHistory;

class TWindowTitle : public QObject {
 public:
  TWindowTitle(QWidget& window, const TSampleHistory& history);

 private:
  void Show();

  QWidget& window_;
  const TSampleHistory& history_;
};
