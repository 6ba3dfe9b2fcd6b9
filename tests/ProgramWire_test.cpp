#include "restart/ProgramWire.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

#include "core/model/Random.h"
#include "tests/ProgramTesting.h"

TEST(ProgramWire, RandomProgramsComeBackBitForBit) {
  TRandomStream random(77);
  for (std::int32_t inputs = 1; inputs <= 8; ++inputs) {
    TTuringEvaluator sent(12, 3, inputs);
    sent.RandomizeAll(random);
    sent.UpdateExecEnd();
    TTuringEvaluator received = UnpackProgram(PackProgram(sent));
    EXPECT_EQ(sent.InstructionCount(), received.InstructionCount());
    EXPECT_EQ(sent.RegisterCount(), received.RegisterCount());
    EXPECT_EQ(sent.InputCount(), received.InputCount());
    EXPECT_EQ(sent.ExecEnd(), received.ExecEnd());
    EXPECT_EQ(sent.EmitSource(), received.EmitSource());
    const std::vector<double> x(static_cast<std::size_t>(inputs), 0.75);
    const double expected = sent.Execute(x);
    const double actual = received.Execute(x);
    EXPECT_EQ(0, std::memcmp(&expected, &actual, sizeof expected));  // NaN included
  }
}

TEST(ProgramWire, ConstantsKeepEveryBit) {
  const double tiny = std::numeric_limits<double>::denorm_min();
  const TTuringEvaluator sent = Program(
      2, {{1, opAdd, ConstantOperand, tiny}, {0, opMul, ConstantOperand, -0.0}, {0, opAdd, 1, 0}});
  const TTuringEvaluator received = UnpackProgram(PackProgram(sent));
  EXPECT_EQ(tiny, received.GetInstruction(0).Value);
  EXPECT_TRUE(std::signbit(received.GetInstruction(1).Value));
  EXPECT_EQ(1, received.GetInstruction(2).Src);
}

TEST(ProgramWire, BytesOfNoProgramAreRefused) {
  const std::vector<std::uint8_t> bytes = PackProgram(Program(2, {{0, opSin, 1, 0}}));
  EXPECT_THROW((void)UnpackProgram({}), std::invalid_argument);
  EXPECT_THROW((void)UnpackProgram(std::span(bytes).first(bytes.size() - 1)),
               std::invalid_argument);
  std::vector<std::uint8_t> badRegister = bytes;
  badRegister[12] = 2;  // the destination, past the two registers
  EXPECT_THROW((void)UnpackProgram(badRegister), std::invalid_argument);
  std::vector<std::uint8_t> badOpcode = bytes;
  badOpcode[13] = OpcodeCount;
  EXPECT_THROW((void)UnpackProgram(badOpcode), std::invalid_argument);
}
