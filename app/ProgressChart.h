#pragma once
// The progress chart: the best error of every generation on a logarithmic axis, one line
// per attempt, named in a legend when there are several. It keeps every generation's figures and
// draws them a few times a second, and once more when the search ends; the next search starts it
// afresh.

#include <chrono>
#include <vector>

#include <QElapsedTimer>

#include "app/SmallLogChart.h"
#include "watch/ProgressHistory.h"

class QLineSeries;

class TProgressChart : public TSmallLogChart {
  Q_OBJECT

 public:
  static constexpr std::chrono::milliseconds RedrawInterval{500};
  // Lines drawn at most: those of the latest attempts.
  static constexpr std::size_t MaxLines = 32;
  // Lines named in the legend, shown while there is more than one: the latest attempts.
  static constexpr std::size_t LegendLines = 6;

  explicit TProgressChart(QWidget* parent);

  void Start();
  void Add(const TSearchProgress& progress);
  void Finish();

  [[nodiscard]] const TProgressHistory& History() const noexcept { return history_; }
  // The lines as drawn, the latest attempt last.
  [[nodiscard]] const std::vector<QLineSeries*>& Lines() const noexcept { return lines_; }
  [[nodiscard]] QValueAxis* GenerationAxis() const noexcept { return ValueAxis(); }

 private:
  void Redraw();
  void KeepLines(std::size_t count);
  void ShowLegend();

  TProgressHistory history_;
  QElapsedTimer sinceRedraw_;
  std::vector<QLineSeries*> lines_;
};
