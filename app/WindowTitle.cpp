#include "app/WindowTitle.h"

#include <QWidget>

#include "app/AppTitle.h"
#include "app/SampleHistory.h"

TWindowTitle::TWindowTitle(QWidget& window, const TSampleHistory& history)
    : QObject(&window), window_(window), history_(history) {
  connect(&history, &TSampleHistory::Changed, this, &TWindowTitle::Show);
  Show();
}

void TWindowTitle::Show() {
  const QString& file = history_.FileName();
  if (!file.isEmpty()) {
    window_.setWindowTitle(file + QStringLiteral("[*] \u2014 ") + AppTitle);
  } else {
    window_.setWindowTitle(history_.Unsaved() ? AppTitle + QStringLiteral("[*]") : AppTitle);
  }
  window_.setWindowModified(history_.Unsaved());
}
