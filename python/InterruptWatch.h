#pragma once
// TInterruptWatch: how a search that runs without the GIL hears from Python. Now and then
// it takes the GIL for a moment and lets Python run its signal handlers; a handler that
// raises (Ctrl+C's KeyboardInterrupt) stops the search, and its exception is raised once
// the search has ended and every thread of it has been joined. Warnings go the same way.

#include <chrono>
#include <optional>
#include <string>

#include <pybind11/pybind11.h>

class TInterruptWatch {
 public:
  // Often enough for a person, rarely enough that other Python threads are not held up.
  static constexpr std::chrono::milliseconds Interval{20};

  // Called without the GIL, from the thread that released it.
  [[nodiscard]] bool Interrupted();
  // A RuntimeWarning; where the warning filters make it an error, that error stops the
  // search as an interrupt does. Called without the GIL.
  void Warn(const std::string& text);
  // With the GIL: raises what a handler raised, if one did.
  void RaisePending();

 private:
  std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
  std::optional<pybind11::error_already_set> pending_;
};
