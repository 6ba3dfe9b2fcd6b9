#pragma once
// The generations per second beside "Generation": during a search the rate of about the
// last second, updated twice a second; after it, the run's average.

#include <chrono>

#include <QElapsedTimer>
#include <QLineEdit>

#include "watch/RateMeter.h"

class TRateBox : public QLineEdit {
  Q_OBJECT

 public:
  static constexpr std::chrono::milliseconds ShowInterval{500};

  explicit TRateBox(QWidget* parent);

  void Start();
  // One generation of any attempt is done.
  void Count();
  void Finish();

 private:
  [[nodiscard]] std::chrono::milliseconds Now() const;

  QElapsedTimer clock_;
  TRateMeter meter_;
  std::chrono::milliseconds shownAt_{0};
};
