#pragma once
// The history of the window's sample set: every command that replaces the samples records
// a step, and Edit > Undo and Redo go back and forth between the sets (Qt's QUndoStack).
// It keeps the last StepLimit steps as long as the sets they hold fit into the memory
// budget; older steps go first. A step whose sets alone exceed the budget is not kept: it
// ends the history, and the Undo item says so. It also knows whether the set on the screen
// came from Paste or Import and was never saved, which closing the window asks about.
// Each step is a command private to the history, which swaps its set with the window's.

#include <cstddef>
#include <cstdint>
#include <functional>

#include <QObject>
#include <QString>

class QAction;
class QUndoStack;
class TSampleData;

// Where the set on the screen came from; only pasted and imported sets are lost on closing.
enum class TSampleOrigin { Generated, File, Pasted, Imported };

class TSampleHistory : public QObject {
  Q_OBJECT

 public:
  static constexpr int StepLimit = 20;
  // 256 MiB: twenty steps of 838,860 samples, sixteen of a million.
  static constexpr std::size_t DefaultBudget = std::size_t{256} << 20;

  TSampleHistory(TSampleData& samples, QObject* parent, std::size_t budget = DefaultBudget);
  ~TSampleHistory() override;

  // Runs change, which returns whether it replaced the samples, as one step named text that
  // leaves a set of the given origin. When change throws or returns false, nothing is
  // recorded. The result is empty, or the sentence saying that the step cannot be undone.
  // fileName: of the file the new set comes from, empty for none.
  QString Record(const QString& text, TSampleOrigin origin,
                 const std::function<bool(TSampleData&)>& change, const QString& fileName = {});
  // Forgets every step (the window's first sample is no step).
  void Clear();
  // The set on the screen is in the sample file of that name now.
  void MarkSaved(const QString& fileName);
  [[nodiscard]] TSampleOrigin Origin() const noexcept { return origin_; }
  [[nodiscard]] const QString& FileName() const noexcept { return fileName_; }
  [[nodiscard]] bool Unsaved() const noexcept {
    return origin_ == TSampleOrigin::Pasted || origin_ == TSampleOrigin::Imported;
  }

  // Edit > Undo and Redo; their text names the step, their state follows the history.
  [[nodiscard]] QAction* UndoAction() const noexcept { return undo_; }
  [[nodiscard]] QAction* RedoAction() const noexcept { return redo_; }
  // While a search runs, the set is lent to it: Undo and Redo are off.
  void SetLocked(bool locked);

  [[nodiscard]] const QUndoStack& Stack() const noexcept { return *stack_; }
  [[nodiscard]] std::size_t Budget() const noexcept { return budget_; }
  // What the kept steps may come to hold, which the budget bounds, and what they hold now.
  [[nodiscard]] std::size_t ReservedBytes() const;
  [[nodiscard]] std::size_t KeptBytes() const;
  [[nodiscard]] static std::size_t SetBytes(std::size_t count,
                                            std::int32_t inputCount = 1) noexcept {
    return count * static_cast<std::size_t>(inputCount + 1) * sizeof(double);
  }

 signals:
  // Undo or Redo replaced the samples.
  void Restored();
  // The set on the screen, its file name or whether it is saved changed.
  void Changed();

 private:
  class TStep;
  struct TState;

  [[nodiscard]] static TStep& StepAt(const QUndoStack& stack, int index);
  // For the steps: puts other on the screen and keeps the set that was there.
  void Exchange(TState& other);
  void DropOldest(int count);
  void RefreshActions();

  TSampleData& samples_;
  std::size_t budget_;
  TSampleOrigin origin_ = TSampleOrigin::Generated;
  QString fileName_;
  QString notKept_;  // the last step, when it could not be kept
  bool locked_ = false;
  QUndoStack* stack_;
  QAction* undo_;
  QAction* redo_;
};
