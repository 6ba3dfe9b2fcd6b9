#pragma once
// Long work of a window command (reading a large sample file, parsing a large paste) runs
// on a thread of its own, so that the window keeps painting. The user sees a busy cursor
// at once and, when the work takes more than a moment, a dialog with "Cancel".

#include <chrono>
#include <functional>

#include <QString>

class QWidget;

struct TBusyWork {
  // Until the dialog appears, input waits and only painting goes on.
  static constexpr std::chrono::milliseconds DialogDelay{400};
  // The longest the window goes without handling its events.
  static constexpr std::chrono::milliseconds Tick{20};

  // Runs work and returns true when it is done, or false as soon as the user cancels; a
  // cancelled work still runs to its end, so it must own everything it touches and its
  // results are then left alone. An exception thrown by work is thrown here.
  static bool Run(QWidget* parent, const QString& label, std::function<void()> work,
                  std::chrono::milliseconds dialogDelay = DialogDelay);
};
