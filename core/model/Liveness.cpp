#include "core/model/Liveness.h"

#include <algorithm>

std::int32_t ModelSize(const TTuringEvaluator& program) {
  const std::vector<bool> live = LiveInstructions(program);
  return static_cast<std::int32_t>(std::count(live.begin(), live.end(), true));
}

std::vector<bool> LiveInstructions(const TTuringEvaluator& program) {
  const TInstruction* const code = program.Code().data();
  std::vector<bool> live(static_cast<std::size_t>(LastRun(program) + 1), false);
  ForEachLive(
      code, LastRun(program) + 1, [code](std::int32_t i) { return AlwaysReplaces(code[i].Op); },
      [&live](std::int32_t i) { live[i] = true; });
  return live;
}

std::vector<bool> LiveInstructions(const TTuringEvaluator& program,
                                   const std::vector<bool>& replaces) {
  std::vector<bool> live(static_cast<std::size_t>(LastRun(program) + 1), false);
  ForEachLive(
      program.Code().data(), LastRun(program) + 1,
      [&replaces](std::int32_t i) { return static_cast<bool>(replaces[i]); },
      [&live](std::int32_t i) { live[i] = true; });
  return live;
}
