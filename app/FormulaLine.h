#pragma once
// The formula of the best model under the model text: one read-only line with the formula
// and a note under it (where the model's guards act, how far formula and model lie apart).
// It also gives the model's other forms for the copy commands. A formula costs algebra, so
// during a search it is worked out at most a few times a second, and never for more than a
// tenth of the time; the line then follows the best model a moment later.

#include <chrono>
#include <memory>
#include <string>

#include <QElapsedTimer>
#include <QWidget>

#include "formula/ModelFormula.h"
#include "formula/ModelOrigin.h"
#include "core/model/SD.h"
#include "core/model/TE.h"

class QLabel;
class QLineEdit;
class QTimer;

class TFormulaLine : public QWidget {
  Q_OBJECT

 public:
  explicit TFormulaLine(QWidget* parent);
  ~TFormulaLine() override;

  // The model whose formula the line shows, found for samples; they must stay unchanged
  // until the next call.
  void SetModel(const TTuringEvaluator& model, const TSampleData& samples);
  // Where the samples come from, named in the code's comment line.
  // The model on show takes it too: it is the one shown since the samples were replaced.
  void SetSampleSource(std::string source) {
    source_ = std::move(source);
    origin_.Samples = source_;
  }
  // Shows the current model's formula now if the line is behind (at the end of a search).
  void Refresh() { Update(); }

  // The current model's forms, worked out now if the line is behind.
  [[nodiscard]] QString Formula();
  [[nodiscard]] QString Latex();
  [[nodiscard]] QString CCode() const;
  [[nodiscard]] QString PythonCode() const;

 private:
  void Update();

  QLineEdit* edFormula = nullptr;
  QLabel* lbFormulaNote = nullptr;
  QTimer* pending_ = nullptr;

  TTuringEvaluator model_{0, 1};
  const TSampleData* samples_ = nullptr;
  std::string source_ = "the generated sine sample";
  TModelOrigin origin_;
  TModelFormula formula_;
  bool stale_ = true;
  QElapsedTimer sinceUpdate_;
  std::chrono::milliseconds lastCost_{0};
};
