#include "app/SampleSetCommand.h"

#include "app/SampleHistory.h"

TSampleSetCommand::TSampleSetCommand(const QString& text, TSampleHistory& history,
                                     TSampleState other, std::size_t reserved)
    : QUndoCommand(text), history_(history), other_(std::move(other)), reserved_(reserved) {}

void TSampleSetCommand::undo() {
  history_.Exchange(other_);
}

void TSampleSetCommand::redo() {
  if (!pushed_) {
    pushed_ = true;
    return;
  }
  history_.Exchange(other_);
}

std::size_t TSampleSetCommand::Kept() const noexcept {
  return TSampleHistory::SetBytes(static_cast<std::size_t>(other_.Set.Count()),
                                  other_.Set.InputCount());
}
