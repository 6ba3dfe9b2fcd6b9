#pragma once
// TFittedProgram: a model a search found, with where it came from, as Python holds it: it
// predicts with the interpreter itself, writes its exact C and Python code, and turns into
// plain numbers for a pickle and back.

#include <cstdint>
#include <span>
#include <string>
#include <utility>

#include "core/model/TE.h"
#include "formula/ModelOrigin.h"
#include "python/ProgramState.h"

class TFittedProgram {
 public:
  TFittedProgram(TTuringEvaluator model, TModelOrigin origin)
      : model_(std::move(model)), origin_(std::move(origin)) {}

  [[nodiscard]] const TTuringEvaluator& Model() const noexcept { return model_; }
  [[nodiscard]] const TModelOrigin& Origin() const noexcept { return origin_; }

  // x: rows of InputCount() values; one prediction per row. Safe from several threads at
  // once: each call runs a copy of the program.
  void Predict(std::span<const double> x, std::span<double> predictions) const;
  [[nodiscard]] std::int32_t InputCount() const noexcept { return model_.InputCount(); }

  // The model text's function, with Python's line ends instead of the window's CR LF.
  [[nodiscard]] std::string Source() const;
  [[nodiscard]] std::string C(const std::string& name) const;
  [[nodiscard]] std::string Python(const std::string& name) const;

 private:
  TTuringEvaluator model_;
  TModelOrigin origin_;
};
