#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/model/DecimalSeparator.h"
#include "tests/ProgramTesting.h"
#include "core/model/TE.h"

namespace {
constexpr std::uint8_t K = ConstantOperand;
}  // namespace

TEST(EmitSource, WorkedExampleStopsAtExecEnd) {
  TTuringEvaluator p =
      Program(2, {{1, opAdd, K, 2.5}, {0, opIfGreater, 1, 0}, {0, opMul, 1, 0}, {1, opSin, 0, 0}});
  EXPECT_EQ(
      "double model(double valueX) {\r\ndouble var[2];\r\nvar[0] = valueX;\r\nvar[1] = 0;\r\n"
      "var[1] += 2.5000;\r\nif(var[0] > var[1]) var[0] *= var[1];\r\nreturn var[0];\r\n}",
      p.EmitSource());
}

TEST(EmitSource, TrailingComparisonGetsAFillerStatement) {
  TTuringEvaluator p = Program(1, {{0, opSqrt, 0, 0}, {0, opIfLessEqual, K, 3}});
  EXPECT_EQ(
      "double model(double valueX) {\r\ndouble var[1];\r\nvar[0] = valueX;\r\n"
      "var[0] = SQRT(var[0]);\r\nif(var[0] <= 3.0000) var[0] = var[0];\r\nreturn var[0];\r\n}",
      p.EmitSource());
}

TEST(EmitSource, EmptyProgramGivesTheFiveInitialLines) {
  TTuringEvaluator p(0, 3);
  p.UpdateExecEnd();
  EXPECT_EQ(
      "double model(double valueX) {\r\ndouble var[1];\r\nvar[0] = valueX;\r\nreturn var[0];\r\n}",
      p.EmitSource());
}

TEST(EmitSource, ArraySizeCountsReadRegistersButNotConstants) {
  // Register 3 is only read; 255 must not count.
  TTuringEvaluator p = Program(4, {{0, opAdd, 3, 0}, {0, opSub, K, 7}});
  const std::string text = p.EmitSource();
  EXPECT_NE(std::string::npos, text.find("double var[4];\r\nvar[0] = valueX;\r\nvar[1] = 0;\r\n"
                                         "var[2] = 0;\r\nvar[3] = 0;\r\nvar[0] += var[3];\r\n"
                                         "var[0] -= 7.0000;\r\n"));
}

TEST(EmitSource, ChainedComparisonsShareOneLine) {
  TTuringEvaluator p =
      Program(2, {{0, opIfGreater, K, 1}, {1, opIfLessEqual, 0, 0}, {0, opAdd, 1, 0}});
  EXPECT_NE(
      std::string::npos,
      p.EmitSource().find("\r\nif(var[0] > 1.0000) if(var[1] <= var[0]) var[0] += var[1];\r\n"));
}

TEST(EmitSource, EveryOpcodeHasItsPieceAndConstantsUseAPoint) {
  SetDecimalSeparator(",");
  const double k = 12345678 / 10000.0;
  struct Case {
    std::uint8_t op;
    const char* regForm;
    const char* constForm;
  } cases[] = {
      {opAdd, "var[0] += var[1];", "var[0] += 1234.5678;"},
      {opSub, "var[0] -= var[1];", "var[0] -= 1234.5678;"},
      {opMul, "var[0] *= var[1];", "var[0] *= 1234.5678;"},
      {opDiv, "var[0] /= var[1];", "var[0] /= 1234.5678;"},
      {opPow, "var[0] ^= var[1];", "var[0] ^= 1234.5678;"},
      {opSin, "var[0] = SIN(var[1]);", "var[0] = SIN(1234.5678);"},
      {opCos, "var[0] = COS(var[1]);", "var[0] = COS(1234.5678);"},
      {opTan, "var[0] = TAN(var[1]);", "var[0] = TAN(1234.5678);"},
      {opExp, "var[0] = EXP(var[1]);", "var[0] = EXP(1234.5678);"},
      {opSqrt, "var[0] = SQRT(var[1]);", "var[0] = SQRT(1234.5678);"},
      {opLn, "var[0] = LN(var[1]);", "var[0] = LN(1234.5678);"},
      {opIfGreater, "if(var[0] > var[1]) var[0] = var[0];",
       "if(var[0] > 1234.5678) var[0] = var[0];"},
      {opIfLessEqual, "if(var[0] <= var[1]) var[0] = var[0];",
       "if(var[0] <= 1234.5678) var[0] = var[0];"},
  };
  for (const Case& c : cases) {
    const std::string reg = Program(2, {{0, c.op, 1, 0}}).EmitSource();
    const std::string cst = Program(2, {{0, c.op, K, k}}).EmitSource();
    EXPECT_NE(std::string::npos, reg.find(std::string("\r\n") + c.regForm + "\r\n")) << reg;
    EXPECT_NE(std::string::npos, cst.find(std::string("\r\n") + c.constForm + "\r\n")) << cst;
  }
  SetDecimalSeparator(".");
}

TEST(EmitSource, ConstantsHaveExactlyFourDecimals) {
  const std::pair<int, const char*> cases[] = {{0, "0.0000"},
                                               {7, "0.0007"},
                                               {25000, "2.5000"},
                                               {12345678, "1234.5678"},
                                               {99999998, "9999.9998"}};
  for (const auto& [k, text] : cases) {
    const std::string source = Program(1, {{0, opAdd, K, k / 10000.0}}).EmitSource();
    EXPECT_NE(std::string::npos, source.find(std::string("var[0] += ") + text + ";")) << k;
  }
}

// A refined constant or a linear scaling's is no multiple of 0.0001: four decimals would make
// the text another program.
TEST(EmitSource, ConstantsOffTheFourDecimalGridReadBackExactly) {
  for (const double value :
       {0.1 + 0.2, -0.3, 1.0 / 3, -1.6534083130403943e-18, 167065.79645348, 12.34567891}) {
    const std::string source = Program(1, {{0, opMul, K, value}}).EmitSource();
    const std::size_t at = source.find("var[0] *= ");
    ASSERT_NE(std::string::npos, at);
    EXPECT_EQ(value, std::strtod(source.c_str() + at + 10, nullptr)) << source;
  }
  EXPECT_NE(std::string::npos,
            Program(1, {{0, opAdd, K, -2.5}}).EmitSource().find("var[0] += -2.5000;"));
}

TEST(EmitSource, HugeConstantsAreWrittenInFull) {
  const std::string source = Program(1, {{0, opAdd, K, 1e308}}).EmitSource();
  EXPECT_NE(std::string::npos, source.find("var[0] += 1" + std::string(308, '0').substr(0, 16)));
  EXPECT_NE(std::string::npos, source.find(".0000;\r\nreturn var[0];\r\n}"));
  EXPECT_EQ(std::string::npos, source.find('\0'));
}

TEST(EmitSource, SeveralInputsAreParametersInOrder) {
  // Registers 0 .. 2 take the inputs even where no instruction names them.
  TTuringEvaluator p = Program(3, {{0, opAdd, K, 1}}, 3);
  EXPECT_EQ(
      "double model(double valueX1, double valueX2, double valueX3) {\r\ndouble var[3];\r\n"
      "var[0] = valueX1;\r\nvar[1] = valueX2;\r\nvar[2] = valueX3;\r\n"
      "var[0] += 1.0000;\r\nreturn var[0];\r\n}",
      p.EmitSource());
  // Registers past the inputs start at 0.
  TTuringEvaluator q = Program(5, {{0, opMul, 4, 0}, {0, opAdd, 1, 0}}, 2);
  EXPECT_EQ(
      "double model(double valueX1, double valueX2) {\r\ndouble var[5];\r\n"
      "var[0] = valueX1;\r\nvar[1] = valueX2;\r\nvar[2] = 0;\r\nvar[3] = 0;\r\nvar[4] = 0;\r\n"
      "var[0] *= var[4];\r\nvar[0] += var[1];\r\nreturn var[0];\r\n}",
      q.EmitSource());
}
