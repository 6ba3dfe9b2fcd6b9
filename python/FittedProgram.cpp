#include "python/FittedProgram.h"

#include "formula/CodeEmitter.h"

void TFittedProgram::Predict(std::span<const double> x, std::span<double> predictions) const {
  // Execute keeps its registers in the program.
  TTuringEvaluator program = model_;
  const auto inputs = static_cast<std::size_t>(InputCount());
  for (std::size_t i = 0; i < predictions.size(); ++i)
    predictions[i] = program.Execute(x.subspan(i * inputs, inputs));
}

std::string TFittedProgram::Source() const {
  std::string source = model_.EmitSource();
  std::erase(source, '\r');
  return source;
}

std::string TFittedProgram::C(const std::string& name) const {
  return EmitC(model_, origin_, name);
}

std::string TFittedProgram::Python(const std::string& name) const {
  return EmitPython(model_, origin_, name);
}
