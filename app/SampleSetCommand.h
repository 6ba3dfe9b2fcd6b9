#pragma once
// One step of the sample set's history: a command that replaced the window's samples
// ("Sample generate", "Open", "Import", "Paste Data"). It keeps the one set that is not on
// the screen, the one before the step while the step is done and the one after it while it
// is undone, and swaps it with the window's set on Undo and on Redo.

#include <cstddef>
#include <vector>

#include <QString>
#include <QUndoCommand>

#include "core/model/SD.h"

class TSampleHistory;

// Where the set on the screen came from; only pasted and imported sets are lost on closing.
enum class TSampleOrigin { Generated, File, Pasted, Imported };

struct TSampleState {
  TSampleData Set;
  TSampleOrigin Origin = TSampleOrigin::Generated;
  QString FileName;  // of the file the set was read from or saved to; empty for none
};

class TSampleSetCommand : public QUndoCommand {
 public:
  // The step has already run: the first redo(), which QUndoStack::push calls, does nothing.
  // reserved: what the step may hold, the larger of the sets before and after it.
  TSampleSetCommand(const QString& text, TSampleHistory& history, TSampleState other,
                    std::size_t reserved);

  void undo() override;
  void redo() override;

  [[nodiscard]] std::size_t Reserved() const noexcept { return reserved_; }
  [[nodiscard]] std::size_t Kept() const noexcept;
  // Hands the kept set over, for a history that rebuilds its stack.
  [[nodiscard]] TSampleState TakeState() noexcept { return std::move(other_); }

 private:
  TSampleHistory& history_;
  TSampleState other_;
  std::size_t reserved_;
  bool pushed_ = false;
};
