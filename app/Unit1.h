#pragma once
// TForm1: the program's only window. It owns the sample set every command works on and
// composes the rooms that show and change it: the parameter panel, the test data (grid and
// chart), the model box, the sample-set commands and the search session. It makes the
// actions and the menus, and its handlers, named after the controls that raise them, hand
// each command to the room that carries it out.

#include <memory>

#include <QMainWindow>

#include "core/model/SD.h"
#include "app/WindowServices.h"

class QAction;
class QMenu;
class QSplitter;
class TModelBox;
class TParameterPanel;
class TRecentFilesMenu;
class TSampleCommands;
class TSearchSession;
class TTestDataBox;
class TWindowPlacement;

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

  [[nodiscard]] bool Running() const noexcept;
  // The window's sample set, for setting up tests and benchmarks; commands reach it directly.
  [[nodiscard]] TSampleData& SampleSet() noexcept { return *Samples; }

  // The application's error box: every error that reaches the window ends here.
  void ShowError(const char* text);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void FormCreate();
  void createRooms();
  void createActions();
  void createMenus();
  [[nodiscard]] QList<QSplitter*> Splitters() const;
  void UseSystemDecimalSeparator();

  std::unique_ptr<TSampleData> Samples;
  TWindowServices services_;
  std::unique_ptr<TWindowPlacement> placement_;

  TParameterPanel* panel_ = nullptr;
  TTestDataBox* testData_ = nullptr;
  TModelBox* model_ = nullptr;
  TSampleCommands* commands_ = nullptr;
  TSearchSession* session_ = nullptr;

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
