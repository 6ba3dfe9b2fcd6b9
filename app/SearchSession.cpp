#include "app/SearchSession.h"

#include <chrono>
#include <exception>

#include <QCoreApplication>
#include <QWidget>

#include "app/ModelBox.h"
#include "app/ParameterPanel.h"
#include "app/WindowServices.h"
#include "core/model/Random.h"
#include "core/model/SD.h"
#include "core/search/SampleSplit.h"
#include "core/search/SearchRun.h"
#include "frontend/WindowText.h"
#include "restart/BestMode.h"
#include "restart/RestartSearch.h"
#include "watch/FitFigures.h"

TSearchSession::TSearchSession(TSampleData& samples, TParameterPanel& panel, TModelBox& model,
                               const TWindowServices& services, QWidget& window)
    : QObject(&window),
      samples_(samples),
      panel_(panel),
      model_(model),
      services_(services),
      window_(window) {}

bool TSearchSession::DeferClose() noexcept {
  if (!running_) return false;
  StopRequested = true;
  closeAfterRun_ = true;
  return true;
}

void TSearchSession::SetRunState(bool running) {
  running_ = running;
  panel_.SetRunning(running);
  emit RunningChanged(running);
}

void TSearchSession::Run() {
  // A second run inside the first would lend the set twice and free the controls early.
  if (running_) return;
  const auto started = std::chrono::steady_clock::now();
  TSearchParameters parameters = panel_.Parameters();
  SetRunState(true);
  // Every search starts from a seed that can be named, so that any run can be repeated.
  const std::uint32_t seed = panel_.Seed().value_or(ClockSeed());
  parameters.Seed = seed;
  panel_.StartRun();
  emit Ended(QString());
  QString status;
  // Outlives the run's views of it, which let go in FinishRun.
  std::optional<TSampleSplit> split;
  bool nothingHeldOut = false;
  try {
    // Drawn from the run's seed, as movar-search --holdout draws them.
    if (parameters.HoldoutPercent > 0) {
      split = SplitSamples(samples_, parameters.HoldoutPercent, seed);
      nothingHeldOut = split->HeldOut.Count() == 0;
    }
    TSampleData& searched = split ? split->Searched : samples_;
    model_.StartRun(searched, split && !nothingHeldOut ? &split->HeldOut : nullptr);
    const bool restarts = panel_.Restarts();
    StopRequested = false;
    TRestartObserver observer;
    observer.Progress = [this](const TSearchProgress& progress) {
      model_.Add(progress);
      panel_.CountGeneration();
    };
    observer.ModelChanged = [this, restarts, &split](const TModelUpdate& update) {
      if (restarts) panel_.ShowAttempt(update);
      if (!split || !update.Model) {
        model_.Offer(update);
        return;
      }
      TModelUpdate everyRow = update;
      everyRow.Predictions = ModelPredictions(*update.Model, samples_);
      model_.Offer(everyRow);
    };
    observer.ModelFound = [this](const TModelUpdate& update) { model_.Found(update); };
    observer.GenerationDone = [this](std::int32_t generation, std::chrono::milliseconds elapsed) {
      panel_.ShowGeneration(generation, elapsed);
    };
    observer.Pump = [] { QCoreApplication::processEvents(); };
    observer.StopRequested = [this] { return StopRequested; };
    if (restarts) {
      // Attempts side by side on every core; this thread shows what they find.
      TAttemptCoordinator alone;
      TRestartSearch search(searched, WithBestModeAdditions(parameters), TRestartParameters{},
                            alone);
      const TRestartResult result = search.Run(observer);
      status = QString::fromStdString(
          SearchEndStatus(result.End, result.Answer.Matches, searched.Count(), nothingHeldOut));
    } else {
      TSearchRun run(searched, parameters, started);
      const TSearchResult result = run.Run(observer);
      status = QString::fromStdString(
          SearchEndStatus(result.End, result.Matches, searched.Count(), nothingHeldOut));
    }
    model_.CatchUp();
  } catch (const std::exception& error) {
    ShowErrorBox(services_, &window_, error.what());
  }
  model_.FinishRun();
  panel_.FinishRun(seed);
  emit Ended(status);
  SetRunState(false);
  if (closeAfterRun_) {
    closeAfterRun_ = false;  // a "Cancel" to the save question keeps the window for good
    emit CloseDeferred();
  }
}
