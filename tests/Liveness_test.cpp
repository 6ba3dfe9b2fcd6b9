#include "core/model/Liveness.h"

#include <gtest/gtest.h>

#include "tests/ProgramTesting.h"

namespace {

TInstruction Reg(std::uint8_t dest, std::uint8_t op, std::uint8_t src) {
  return {dest, op, src, 0};
}
TInstruction Const(std::uint8_t dest, std::uint8_t op, double value) {
  return {dest, op, ConstantOperand, value};
}

}  // namespace

TEST(Liveness, AModelsSizeCountsWhatReachesItsResult) {
  const struct {
    std::int32_t Registers;
    std::vector<TInstruction> Code;
    std::int32_t Size;
  } cases[] = {
      {1, {Reg(0, opSin, 0)}, 1},
      // Register 1 never reaches register 0.
      {2, {Reg(1, opCos, 0), Const(0, opMul, 3), Reg(1, opAdd, 1)}, 1},
      // Register 1 feeds the result: both count.
      {2, {Reg(1, opCos, 0), Reg(0, opAdd, 1)}, 2},
      // A comparison counts with the instruction it governs.
      {1, {Const(0, opIfGreater, 3), Const(0, opMul, 2)}, 2},
      // A sine of another register replaces its own: what came before it is dead.
      {2, {Const(0, opAdd, 5), Reg(0, opSin, 1)}, 1},
      // A division by the constant 0 never does anything.
      {1, {Const(0, opDiv, 0)}, 0},
      // Nor do the comparison in front of it and the cosine only that comparison reads.
      {2, {Reg(1, opCos, 0), Const(1, opIfGreater, 0), Const(0, opDiv, 0), Const(0, opAdd, 1)}, 1},
      // A guarded sine may not run: the value before it goes on.
      {2, {Const(0, opAdd, 5), Const(1, opIfGreater, 0), Reg(0, opSin, 1)}, 3},
      // A square root may fail and leave its register as it was.
      {2, {Const(0, opAdd, 5), Reg(0, opSqrt, 1)}, 2},
      // Trailing comparisons govern nothing.
      {1, {Const(0, opMul, 2), Const(0, opIfGreater, 1)}, 1},
  };
  for (const auto& c : cases) {
    const TTuringEvaluator p = Program(c.Registers, c.Code);
    EXPECT_EQ(c.Size, ModelSize(p)) << p.EmitSource();
  }
}

// The fast scorer fills its list of live instructions from the back: they come last first.
TEST(Liveness, TheLiveInstructionsComeFromTheLastToTheFirst) {
  const std::vector<TInstruction> code = {Reg(1, opCos, 0), Const(0, opAdd, 2), Const(1, opMul, 3),
                                          Reg(0, opAdd, 1)};
  std::vector<std::int32_t> visited;
  ForEachLive(
      code.data(), static_cast<std::int32_t>(code.size()),
      [&code](std::int32_t i) { return AlwaysReplaces(code[i].Op); },
      [&visited](std::int32_t i) { visited.push_back(i); });
  EXPECT_EQ((std::vector<std::int32_t>{3, 2, 1, 0}), visited);
  // Only the first three count when the code ends there: register 1 then reaches nothing.
  visited.clear();
  ForEachLive(
      code.data(), 3, [&code](std::int32_t i) { return AlwaysReplaces(code[i].Op); },
      [&visited](std::int32_t i) { visited.push_back(i); });
  EXPECT_EQ((std::vector<std::int32_t>{1}), visited);
}
