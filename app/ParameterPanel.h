#pragma once
// The "Parameters" group at the window's left: what a search is asked to do (its three sizes,
// the margin, the progressive and restart switches, the seed), the sample generator's
// switch, the buttons that start and stop a search, and what a running search shows of
// itself (generation, rate, attempt, elapsed time). Every setting the user gives a search
// is read here, so a new one takes its box in this group.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

#include <QGroupBox>

#include "core/search/SearchRun.h"

class QCheckBox;
class QSettings;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSlider;
class QSpinBox;
class TRateBox;
class TSeedField;

class TParameterPanel : public QGroupBox {
  Q_OBJECT

 public:
  explicit TParameterPanel(QWidget* parent);
  ~TParameterPanel() override;

  // The "Restart stalled searches" box takes its state from the store and keeps it there
  // whenever it changes; off when the store has none.
  void KeepRestartsIn(std::unique_ptr<QSettings> store);

  // The panel inside an area of its width that scrolls on a small or scaled screen rather
  // than push the window off it.
  [[nodiscard]] QScrollArea* InScrollArea();

  // What "Code search" runs with, as the boxes read now.
  [[nodiscard]] TSearchParameters Parameters() const;
  [[nodiscard]] bool Restarts() const;
  // What "Sample generate" draws: random points or the sine, and from which seed.
  [[nodiscard]] bool RandomSample() const;
  [[nodiscard]] std::optional<std::uint32_t> Seed() const;
  // The generator's caption, which names its step in the history.
  [[nodiscard]] QString GenerateCaption() const;

  // The track bar's value as its hint and beside it.
  void ShowMarginHint();
  // How many inputs the samples have; shown for several, with a line when the registers
  // asked for cannot hold them and the search takes more.
  void ShowInputCount(std::int32_t inputs);

  // While a search runs nothing it reads can change; only "Stop" is on.
  void SetRunning(bool running);
  void StartRun();
  // One generation of any attempt is done.
  void CountGeneration();
  void ShowGeneration(std::int32_t generation, std::chrono::milliseconds elapsed);
  void ShowAttempt(const TModelUpdate& update);
  // The run's seed stays in view for the next run to repeat it.
  void FinishRun(std::uint32_t seed);

 signals:
  void GenerateClicked();
  void PlotClicked();
  void SearchClicked();
  void StopClicked();
  void MarginChanged();

 private:
  void Arrange();
  void ShowRegisterNote();

  QSpinBox* UpDown1 = nullptr;
  QSpinBox* UpDown2 = nullptr;
  QSpinBox* UpDown3 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QLineEdit* Edit3 = nullptr;
  TSeedField* seedField_ = nullptr;
  QCheckBox* opRandomSample = nullptr;
  QPushButton* Button1 = nullptr;
  QSlider* tb1 = nullptr;
  QLabel* lbMargin = nullptr;  // the margin as text, beside the track bar
  QCheckBox* opIncrementalSearch = nullptr;
  QCheckBox* opRestartSearch = nullptr;
  QSpinBox* edHoldout = nullptr;
  QLineEdit* edTimeLimit = nullptr;  // empty: no limit
  QLineEdit* edGenerationLimit = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  QLineEdit* Edit6 = nullptr;
  TRateBox* rateBox_ = nullptr;
  QLabel* lbAttempt = nullptr;
  QLineEdit* Edit5 = nullptr;
  QPushButton* btPlot = nullptr;
  QLabel* lbInputs = nullptr;
  QLineEdit* edInputs = nullptr;
  QLabel* lbRegisterNote = nullptr;  // the registers are raised to hold every input
  std::int32_t inputCount_ = 1;
  std::unique_ptr<QSettings> restartStore_;
};
