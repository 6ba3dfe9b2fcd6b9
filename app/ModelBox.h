#pragma once
// The "Model" group: the model text, the progress chart, the run's front (a table and a chart
// of error against size) and the formula line, and the model's curve in the sample chart.
// One model is on show at a time, the last one found or the one picked from the front, and
// every copy command takes that one. When the samples are replaced, views of the old model go.

#include <string>
#include <vector>

#include <QGroupBox>

#include "core/search/SearchRun.h"

class QFileDialog;
class QMenu;
class QMimeData;
class QPlainTextEdit;
class TFrontChart;
class TFrontList;
class TFormulaLine;
class TProgressChart;
class TSampleChart;
class TSampleData;
struct TFrontModel;
struct TWindowServices;

class TModelBox : public QGroupBox {
  Q_OBJECT

 public:
  // chart: the sample chart, whose model series this box draws.
  TModelBox(const TSampleData& samples, TSampleChart& chart, const TWindowServices& services,
            QWidget* parent);

  // The model of the initial text: its formula under it before any search.
  void ShowFirstModel();
  // Where the samples come from, named in the comment line of later models' code.
  void SetSampleSource(std::string source);
  // Every view of the model before goes: the box shows the first model again, for the new
  // samples.
  void SamplesReplaced();

  // A search: it starts, reports each generation and each new best model, and ends.
  // searched: the rows it scores; heldOut: the rows held out of it, or none. Both stay as
  // they are until FinishRun.
  void StartRun(const TSampleData& searched, const TSampleData* heldOut);
  void Add(const TSearchProgress& progress);
  // The model to show; its predictions are for every sample.
  void Offer(const TModelUpdate& update);
  // Every model the search finds, for the front; its predictions are for the rows searched.
  void Found(const TModelUpdate& update);
  // The formula of the last model now, rather than a moment later.
  void CatchUp();
  void FinishRun();

  // The copy commands, each confirmed in a message box.
  void CopyModel();
  void CopyChart();
  void CopyFormula();
  void CopyFormulaLatex();
  void CopyModelC();
  void CopyModelPython();

  // The items added under the model text's own menu (copy, select all).
  void SetTextMenu(QMenu* menu);

  // Offers to copy or save a model found since the last copy or save before it is lost by
  // closing; false keeps the window open.
  [[nodiscard]] bool ConfirmClose();

 private:
  void ShowModel(const std::vector<double>& predictions, const std::vector<std::string>& lines);
  void ShowChosen(const TFrontModel& chosen);
  void Copy(QMimeData* data, const QString& confirmation);
  void CopyText(const QString& text, const QString& confirmation);
  [[nodiscard]] bool SaveModel();

  const TSampleData& samples_;
  TSampleChart& chart_;
  const TWindowServices& services_;
  QPlainTextEdit* memTest = nullptr;
  TProgressChart* progressChart_ = nullptr;
  TFrontChart* frontChart_ = nullptr;
  TFrontList* frontList_ = nullptr;
  TFormulaLine* formulaLine_ = nullptr;
  QFileDialog* SaveDialog2 = nullptr;  // the model as C source
  bool unkept_ = false;                // a model was found and not copied or saved since
};
