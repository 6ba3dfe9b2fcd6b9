#include "python/InterruptWatch.h"

bool TInterruptWatch::Interrupted() {
  if (pending_) return true;
  const auto now = std::chrono::steady_clock::now();
  if (now - last_ < Interval) return false;
  last_ = now;
  const pybind11::gil_scoped_acquire gil;
  if (PyErr_CheckSignals() == 0) return false;
  pending_.emplace();  // takes the raised exception out of the interpreter
  return true;
}

void TInterruptWatch::RaisePending() {
  if (pending_) throw std::move(*pending_);
}

void TInterruptWatch::Warn(const std::string& text) {
  const pybind11::gil_scoped_acquire gil;
  if (PyErr_WarnEx(PyExc_RuntimeWarning, text.c_str(), 1) != 0 && !pending_) pending_.emplace();
}
