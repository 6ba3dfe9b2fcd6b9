#pragma once
// The "Test data" group: the grid over the window's sample set and the chart of the samples
// beside it, with the splitter between them. The grid reads the set itself; the chart's
// sample series is handed the points ordered by x. What the samples look like on the screen
// is settled here.

#include <vector>

#include <QGroupBox>

#include "core/model/SD.h"

class QMenu;
class QSplitter;
class QTableView;
class TSampleChart;
class TSampleGridModel;

class TTestDataBox : public QGroupBox {
  Q_OBJECT

 public:
  TTestDataBox(const TSampleData& samples, QWidget* parent);

  // The set was replaced or resized: the grid reads it again and its columns fit the new
  // texts, the chart shows the set; ordered: its points for one input (SeriesPoints).
  void Show(std::vector<TSamplePoint> ordered);
  // Only the number texts changed (a new decimal separator).
  void RefreshTexts();
  // The menus a right click opens over the grid and over the chart.
  void SetMenus(QMenu* grid, QMenu* chart);

  [[nodiscard]] TSampleChart& Chart() const noexcept { return *chTest; }

 private:
  // Columns wide enough for the texts shown now (the header's sample of rows); the user can
  // drag them wider.
  void FitColumns();

  const TSampleData& samples_;
  QTableView* sgTest = nullptr;
  TSampleGridModel* gridModel_ = nullptr;
  QSplitter* Splitter2 = nullptr;
  TSampleChart* chTest = nullptr;
};
