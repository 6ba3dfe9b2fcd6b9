#pragma once
// "Code search" and "Stop": one search over the window's sample set, run on the window's
// thread. It reads its parameters from the parameter panel, lends the set to the search,
// shows each generation and each new best model, and between two generations lets the window
// handle its input, so that "Stop", the copy commands and a close request reach it. While it
// runs, nothing that could change the set, its margin or the parameters is enabled. With
// rows held out, the search scores the others and the views show its models on every row.

#include <QObject>

class QWidget;
class TModelBox;
class TParameterPanel;
class TSampleData;
struct TWindowServices;

class TSearchSession : public QObject {
  Q_OBJECT

 public:
  TSearchSession(TSampleData& samples, TParameterPanel& panel, TModelBox& model,
                 const TWindowServices& services, QWidget& window);

  // Returns when the run has ended: every sample matched, "Stop", or an error shown in the
  // error box. A run asked for while one runs is not started.
  void Run();
  // The run ends after the generation in progress.
  void Stop() noexcept { StopRequested = true; }
  [[nodiscard]] bool Running() const noexcept { return running_; }
  // A close request: while a run goes on it ends the run as "Stop" does and CloseDeferred
  // follows once the run is over; the result says whether it was deferred.
  [[nodiscard]] bool DeferClose() noexcept;

 signals:
  // The other commands that change the samples follow the run state.
  void RunningChanged(bool running);
  // Why the run ended, for the status line: "Ended by the time limit: 37 of 100 samples
  // matched."; empty when it ended in an error.
  void Ended(const QString& status);
  void CloseDeferred();

 private:
  void SetRunState(bool running);

  TSampleData& samples_;
  TParameterPanel& panel_;
  TModelBox& model_;
  const TWindowServices& services_;
  QWidget& window_;
  bool StopRequested = false;
  bool running_ = false;
  bool closeAfterRun_ = false;
};
