#pragma once
// TForm1: the program's only window. It owns the sample set every command works on, shows
// it in the grid and the chart, runs the search and prints the best model. Its handlers
// collect what the user set and hand it to the core and the sample text routines.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>

#include "core/model/SD.h"
#include "app/WindowServices.h"

class QAction;
class QCheckBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QSplitter;
class QTableView;
class TBestModelList;
class TProgressChart;
class TRateBox;
class TFormulaLine;
class TSampleChart;
class TSampleGridModel;
class TRecentFiles;
class TRecentFilesMenu;
class TSampleHistory;
class TSeedField;
enum class TSampleOrigin;

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int OuterWidth = 783;
  static constexpr int OuterHeight = 540;

  explicit TForm1(TWindowServices services = DesktopServices(), QWidget* parent = nullptr);
  ~TForm1() override;

  // The window's commands, under the names of the controls that raise them.
  void Button1Click();
  void btPlotClick();
  void Button2Click();
  void Button3Click();
  void Open1Click();
  void Import1Click();
  void Save1Click();
  void CopyData1Click();
  void PastData1Click();
  void CopyModel1Click();
  void CopyChart1Click();
  void CopyFormula1Click();
  void CopyFormulaLatex1Click();
  void CopyModelC1Click();
  void CopyModelPython1Click();
  void About1Click();
  void tb1Change();
  // Opens a sample file as "Open" does once its dialog is confirmed: the command line, a drop
  // and the recent files come here.
  void OpenFile(const QString& path);

  [[nodiscard]] bool Running() const noexcept { return running_; }
  // The window's sample set, for setting up tests and benchmarks; commands reach it directly.
  [[nodiscard]] TSampleData& SampleSet() noexcept { return *Samples; }

  // The application's error box: every error that reaches the window ends here.
  void ShowError(const char* text);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void FormCreate();
  void createParameterControls();
  void createDataControls();
  void createDialogs();
  void createActions();
  void createMenus();
  // The window's own size, centred on its screen.
  void PlaceOnScreen();
  void SetRunState(bool running);
  // What "Plot" shows, from the set's points already ordered by x.
  void ShowSamples(std::vector<TSamplePoint> ordered);
  [[nodiscard]] bool RunBusy(const QString& label, std::function<void()> work);
  // Replaces the contents of the window's set by a set read off its thread, as an Undo step,
  // and shows it; the step's note when it could not be kept.
  QString TakeSamples(const QString& step, TSampleOrigin origin, TSampleData&& loaded,
                      std::vector<TSamplePoint> ordered);
  void UseSystemDecimalSeparator();
  void ShowMessage(const QString& text);
  void PutOnClipboard(QMimeData* data);
  void RememberFile(const QString& path);
  bool SaveSamples();
  bool ConfirmClose();
  // A model in the "Model" series and the model text.
  void ShowModel(const std::vector<double>& predictions, const std::vector<std::string>& lines);
  void CopyText(const QString& text, const QString& confirmation);

  std::unique_ptr<TSampleData> Samples;
  bool StopRequested = false;

  TWindowServices services_;
  bool running_ = false;
  bool closeAfterRun_ = false;
  std::unique_ptr<TRecentFiles> recent_;
  TSampleHistory* history_ = nullptr;  // Undo and Redo of the commands that replace Samples

  QGroupBox* GroupBox1 = nullptr;
  QSpinBox* UpDown1 = nullptr;
  QSpinBox* UpDown2 = nullptr;
  QSpinBox* UpDown3 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QLineEdit* Edit3 = nullptr;
  QCheckBox* opRandomSample = nullptr;
  QPushButton* Button1 = nullptr;
  QSlider* tb1 = nullptr;
  QLabel* lbMargin = nullptr;  // the margin as text, beside the track bar
  QCheckBox* opIncrementalSearch = nullptr;
  QCheckBox* opRestartSearch = nullptr;
  QLabel* lbAttempt = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  QLineEdit* Edit6 = nullptr;
  QLineEdit* Edit5 = nullptr;
  QPushButton* btPlot = nullptr;
  TSeedField* seedField_ = nullptr;
  TRateBox* rateBox_ = nullptr;

  QSplitter* Splitter1 = nullptr;
  QSplitter* Splitter2 = nullptr;
  QTableView* sgTest = nullptr;
  TSampleGridModel* gridModel_ = nullptr;
  TSampleChart* chTest = nullptr;
  QPlainTextEdit* memTest = nullptr;
  TProgressChart* progressChart_ = nullptr;
  TBestModelList* bestModels_ = nullptr;
  TFormulaLine* formulaLine_ = nullptr;

  QFileDialog* OpenDialog1 = nullptr;
  QFileDialog* SaveDialog1 = nullptr;
  QFileDialog* OpenDialog2 = nullptr;  // the file to import

  QAction* Open1 = nullptr;
  QAction* Import1 = nullptr;
  QAction* Save1 = nullptr;
  QAction* Exit1 = nullptr;
  QAction* Undo1 = nullptr;
  QAction* Redo1 = nullptr;
  QAction* CopyData1 = nullptr;
  QAction* CopyChart1 = nullptr;
  QAction* CopyModel1 = nullptr;
  QAction* PastData1 = nullptr;
  QAction* About1 = nullptr;
  QAction* Copy1 = nullptr;
  QAction* Past1 = nullptr;
  QAction* Copy2 = nullptr;
  TRecentFilesMenu* RecentFiles1 = nullptr;
  QAction* CopyFormula1 = nullptr;
  QAction* CopyFormulaLatex1 = nullptr;
  QAction* CopyModelC1 = nullptr;
  QAction* CopyModelPython1 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QMenu* PopupMenu2 = nullptr;
  QMenu* PopupMenu3 = nullptr;
};
