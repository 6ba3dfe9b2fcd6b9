#include "app/RateBox.h"

TRateBox::TRateBox(QWidget* parent) : QLineEdit(parent) {
  setReadOnly(true);
  setToolTip(QStringLiteral("Generations per second"));
}

std::chrono::milliseconds TRateBox::Now() const {
  return std::chrono::milliseconds(clock_.elapsed());
}

void TRateBox::Start() {
  meter_.Start();
  clock_.start();
  shownAt_ = std::chrono::milliseconds(0);
  clear();
}

void TRateBox::Count() {
  const std::chrono::milliseconds now = Now();
  meter_.Count(now);
  if (now - shownAt_ < ShowInterval) return;
  shownAt_ = now;
  setText(QString::fromStdString(FormatRate(meter_.Recent())));
}

void TRateBox::Finish() {
  setText(QString::fromStdString(FormatRate(meter_.Average(Now()))));
}
