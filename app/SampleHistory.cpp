#include "app/SampleHistory.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include <QAction>
#include <QUndoCommand>
#include <QUndoStack>

#include "core/model/SD.h"

// The set of one step that is not on the screen, with where it came from.
struct TSampleHistory::TState {
  TSampleData Set;
  TSampleOrigin Origin = TSampleOrigin::Generated;
  QString FileName;  // of the file the set was read from or saved to; empty for none
};

// One step: a command that replaced the window's samples ("Sample generate", "Open",
// "Import", "Paste Data"). It keeps the one set that is not on the screen, the one before the
// step while the step is done and the one after it while it is undone, and swaps it with the
// window's set on Undo and on Redo.
class TSampleHistory::TStep final : public QUndoCommand {
 public:
  // The step has already run: the first redo(), which QUndoStack::push calls, does nothing.
  // reserved: what the step may hold, the larger of the sets before and after it.
  TStep(const QString& text, TSampleHistory& history, TState other, std::size_t reserved)
      : QUndoCommand(text), history_(history), other_(std::move(other)), reserved_(reserved) {}

  void undo() override { history_.Exchange(other_); }
  void redo() override {
    if (!pushed_) {
      pushed_ = true;
      return;
    }
    history_.Exchange(other_);
  }

  [[nodiscard]] std::size_t Reserved() const noexcept { return reserved_; }
  [[nodiscard]] std::size_t Kept() const noexcept {
    return SetBytes(static_cast<std::size_t>(other_.Set.Count()), other_.Set.InputCount());
  }
  // Hands the kept set over, for a history that rebuilds its stack.
  [[nodiscard]] TState TakeState() noexcept { return std::move(other_); }

 private:
  TSampleHistory& history_;
  TState other_;
  std::size_t reserved_;
  bool pushed_ = false;
};

namespace {

std::size_t SetBytesOf(const TSampleData& samples) {
  return TSampleHistory::SetBytes(static_cast<std::size_t>(samples.Count()), samples.InputCount());
}

}  // namespace

// The stack holds only steps, which the history made and may change.
TSampleHistory::TStep& TSampleHistory::StepAt(const QUndoStack& stack, int index) {
  return *static_cast<TStep*>(const_cast<QUndoCommand*>(stack.command(index)));
}

TSampleHistory::TSampleHistory(TSampleData& samples, QObject* parent, std::size_t budget)
    : QObject(parent),
      samples_(samples),
      budget_(budget),
      stack_(new QUndoStack(this)),
      undo_(new QAction(QStringLiteral("Undo"), this)),
      redo_(new QAction(QStringLiteral("Redo"), this)) {
  stack_->setUndoLimit(StepLimit);
  connect(stack_, &QUndoStack::indexChanged, this, &TSampleHistory::RefreshActions);
  connect(undo_, &QAction::triggered, stack_, &QUndoStack::undo);
  connect(redo_, &QAction::triggered, stack_, &QUndoStack::redo);
  RefreshActions();
}

TSampleHistory::~TSampleHistory() {
  // The stack outlives this part of the object and announces its clearing as it goes.
  stack_->disconnect(this);
}

QString TSampleHistory::Record(const QString& text, TSampleOrigin origin,
                               const std::function<bool(TSampleData&)>& change,
                               const QString& fileName) {
  const std::size_t before = SetBytesOf(samples_);
  std::optional<TState> previous;
  if (before <= budget_) previous = TState{samples_, origin_, fileName_};
  if (!change(samples_)) return {};
  origin_ = origin;
  fileName_ = fileName;
  emit Changed();

  const std::size_t reserved = std::max(before, SetBytesOf(samples_));
  if (!previous || reserved > budget_) {
    // Older steps would bring back sets that this one did not start from.
    stack_->clear();
    notKept_ = text;
    RefreshActions();
    return QStringLiteral("This step cannot be undone: Undo keeps sets of up to %1 samples.")
        .arg(budget_ / sizeof(TSamplePoint));
  }
  notKept_.clear();
  stack_->push(new TStep(text, *this, std::move(*previous), reserved));
  std::size_t total = ReservedBytes();
  int drop = 0;
  while (total > budget_)
    total -= StepAt(*stack_, drop++).Reserved();  // the new step alone fits
  if (drop > 0) DropOldest(drop);
  RefreshActions();
  return {};
}

void TSampleHistory::MarkSaved(const QString& fileName) {
  origin_ = TSampleOrigin::File;
  fileName_ = fileName;
  emit Changed();
}

void TSampleHistory::Clear() {
  notKept_.clear();
  stack_->clear();
  RefreshActions();
}

void TSampleHistory::SetLocked(bool locked) {
  locked_ = locked;
  RefreshActions();
}

std::size_t TSampleHistory::ReservedBytes() const {
  std::size_t total = 0;
  for (int i = 0; i < stack_->count(); ++i)
    total += StepAt(*stack_, i).Reserved();
  return total;
}

std::size_t TSampleHistory::KeptBytes() const {
  std::size_t total = 0;
  for (int i = 0; i < stack_->count(); ++i)
    total += StepAt(*stack_, i).Kept();
  return total;
}

void TSampleHistory::Exchange(TState& other) {
  TState shown{samples_, origin_, fileName_};
  // The margin is the window's, not the step's; the bounds fit the restored values.
  const double margin = samples_.GetMargin();
  samples_ = std::move(other.Set);
  samples_.SetMargin(margin);
  samples_.UpdateBounds();
  origin_ = other.Origin;
  fileName_ = std::move(other.FileName);
  other = std::move(shown);
  emit Restored();
  emit Changed();
}

// QUndoStack drops steps only past its undo limit, which can be set on an empty stack only:
// the newer steps leave their commands, the stack is cleared and they go back in as done.
// Called right after a push, when no step waits for Redo.
void TSampleHistory::DropOldest(int count) {
  struct TKept {
    QString Text;
    TState State;
    std::size_t Reserved;
  };
  std::vector<TKept> kept;
  for (int i = count; i < stack_->count(); ++i) {
    TStep& step = StepAt(*stack_, i);
    kept.push_back({step.text(), step.TakeState(), step.Reserved()});
  }
  stack_->clear();
  for (TKept& step : kept)
    stack_->push(new TStep(step.Text, *this, std::move(step.State), step.Reserved));
}

void TSampleHistory::RefreshActions() {
  undo_->setEnabled(!locked_ && stack_->canUndo());
  redo_->setEnabled(!locked_ && stack_->canRedo());
  if (stack_->canUndo()) {
    undo_->setText(QStringLiteral("Undo %1").arg(stack_->undoText()));
  } else if (!notKept_.isEmpty()) {
    undo_->setText(QStringLiteral("Can't Undo %1").arg(notKept_));
  } else {
    undo_->setText(QStringLiteral("Undo"));
  }
  redo_->setText(stack_->canRedo() ? QStringLiteral("Redo %1").arg(stack_->redoText())
                                   : QStringLiteral("Redo"));
}
