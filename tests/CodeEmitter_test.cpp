#include "formula/CodeEmitter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/model/LinearScaling.h"
#include "tests/ModelTesting.h"
#include "tests/ProgramTesting.h"

namespace {

namespace fs = std::filesystem;

TInstruction Reg(std::uint8_t dest, std::uint8_t op, std::uint8_t src) {
  return {dest, op, src, 0};
}
TInstruction Const(std::uint8_t dest, std::uint8_t op, double value) {
  return {dest, op, ConstantOperand, value};
}

// Programs that reach corners random ones seldom reach: constant operands of the
// functions, negative and fractional exponents, chains of comparisons, NaN comparisons.
std::vector<TTuringEvaluator> CornerPrograms() {
  return {
      Program(2, {Const(1, opAdd, -3), Reg(0, opPow, 1)}),
      Program(2, {Const(1, opAdd, 0.5), Reg(0, opPow, 1)}),
      Program(1, {Const(0, opPow, -2.5)}),
      Program(1, {Const(0, opPow, 10), Const(0, opPow, 10)}),
      Program(2, {Reg(1, opSin, 0), Reg(0, opPow, 1)}),
      Program(1, {Const(0, opSin, 1e19), Const(0, opAdd, 2)}),
      Program(2, {Const(1, opLn, 2.5), Reg(0, opMul, 1), Const(0, opTan, 0.5)}),
      Program(1, {Const(0, opExp, 0.25), Const(0, opSqrt, -1)}),
      Program(2, {Const(0, opIfGreater, 1), Const(1, opIfLessEqual, 0), Reg(0, opAdd, 0),
                  Reg(0, opDiv, 1)}),
      Program(2, {Reg(1, opIfLessEqual, 0), Const(0, opMul, -1), Reg(0, opLn, 0),
                  Reg(0, opIfGreater, 1)}),
      Program(3, {Reg(1, opExp, 0), Reg(2, opSqrt, 0), Reg(0, opDiv, 2), Reg(0, opSub, 1),
                  Const(0, opPow, 3)}),
  };
}

std::vector<double> Xs() {
  std::vector<double> xs = SampleXs();
  const std::vector<double> more = EdgeAndRandomXs(10000);
  xs.insert(xs.end(), more.begin(), more.end());
  return xs;
}

struct TWorkspace {
  fs::path Dir;
  TWorkspace() {
    Dir = fs::temp_directory_path() /
          ("movar-emit-" + std::to_string(std::rand()) + "-" +
           std::to_string(static_cast<long>(::testing::UnitTest::GetInstance()->random_seed())));
    fs::create_directories(Dir);
  }
  ~TWorkspace() { fs::remove_all(Dir); }
};

void WriteDoubles(const fs::path& path, const std::vector<double>& values) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(values.data()),
            static_cast<std::streamsize>(values.size() * sizeof(double)));
}

std::vector<double> ReadDoubles(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
  std::vector<double> values(bytes.size() / sizeof(double));
  std::memcpy(values.data(), bytes.data(), values.size() * sizeof(double));
  return values;
}

int Shell(const std::string& command) {
  return std::system(command.c_str());
}

// Every program on every x, program after program, by the interpreter.
std::vector<double> Expected(std::vector<TTuringEvaluator> programs,
                             const std::vector<double>& xs) {
  std::vector<double> values;
  for (TTuringEvaluator& p : programs)
    for (const double x : xs)
      values.push_back(p.Execute(x));
  return values;
}

// The index of the first value whose bits differ, or -1.
long FirstDifference(const std::vector<double>& expected, const std::vector<double>& actual) {
  if (expected.size() != actual.size()) return 0;
  for (std::size_t i = 0; i < expected.size(); ++i)
    if (std::memcmp(&expected[i], &actual[i], sizeof(double)) != 0) return static_cast<long>(i);
  return -1;
}

std::string Describe(const std::vector<TTuringEvaluator>& programs, const std::vector<double>& xs,
                     const std::vector<double>& expected, const std::vector<double>& actual,
                     long at) {
  if (expected.size() != actual.size())
    return "got " + std::to_string(actual.size()) + " values, expected " +
           std::to_string(expected.size());
  const std::size_t program = static_cast<std::size_t>(at) / xs.size();
  const double x = xs[static_cast<std::size_t>(at) % xs.size()];
  char text[200];
  std::snprintf(text, sizeof text, "program %zu at x = %.17g: expected %.17g, got %.17g\n", program,
                x, expected[static_cast<std::size_t>(at)], actual[static_cast<std::size_t>(at)]);
  return text + programs[program].EmitSource();
}

class CodeEmitterTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    programs_ = new std::vector<TTuringEvaluator>(RandomPrograms(1000));
    // Without the reference runs beside the checkout, the random and corner programs remain.
    for (const std::string& name :
         HaveReferenceRuns() ? ReferenceNames() : std::vector<std::string>{}) {
      TReferenceModel reference = ReferenceModel(name);
      ASSERT_EQ(reference.ExpectedOut, reference.Lines) << "the search of " << name;
      programs_->push_back(reference.Program);
    }
    for (const TTuringEvaluator& p : CornerPrograms())
      programs_->push_back(p);
    // Scaled models: negative constants, digits past the fourth, products that overflow.
    const TLinearScaling scalings[] = {{-0.3, 2.5}, {0.1 + 0.2, -1.0 / 3}, {1e300, -7.25e-5}};
    for (std::size_t k = 0; k < 60; ++k)
      programs_->push_back(WithScaling((*programs_)[k], scalings[k % 3]));
    xs_ = new std::vector<double>(Xs());
    expected_ = new std::vector<double>(Expected(*programs_, *xs_));
  }
  static void TearDownTestSuite() {
    delete programs_;
    delete xs_;
    delete expected_;
  }

  static std::vector<TTuringEvaluator>* programs_;
  static std::vector<double>* xs_;
  static std::vector<double>* expected_;
};

std::vector<TTuringEvaluator>* CodeEmitterTest::programs_ = nullptr;
std::vector<double>* CodeEmitterTest::xs_ = nullptr;
std::vector<double>* CodeEmitterTest::expected_ = nullptr;

const TModelOrigin Origin{"test.mvs", 0.1};

// One C file holds every program; it is compiled once as C and once as C++.
std::string CDriver(const std::vector<TTuringEvaluator>& programs) {
  std::string text = "#include <stdio.h>\n#include <stdlib.h>\n";
  for (std::size_t k = 0; k < programs.size(); ++k)
    text += EmitC(programs[k], Origin, "model_" + std::to_string(k)) + "\n";
  text += "static double (*const models[])(double) = {\n";
  for (std::size_t k = 0; k < programs.size(); ++k)
    text += "  model_" + std::to_string(k) + ",\n";
  text += R"(};
int main(int argc, char** argv) {
  FILE* in = fopen(argv[1], "rb");
  FILE* out = fopen(argv[2], "wb");
  static double xs[1 << 16];
  size_t n = fread(xs, sizeof(double), sizeof xs / sizeof xs[0], in);
  (void)argc;
  for (size_t k = 0; k < sizeof models / sizeof models[0]; ++k)
    for (size_t i = 0; i < n; ++i) {
      double y = models[k](xs[i]);
      fwrite(&y, sizeof y, 1, out);
    }
  fclose(out);
  fclose(in);
  return 0;
}
)";
  return text;
}

}  // namespace

TEST_F(CodeEmitterTest, CompiledCReproducesTheInterpreterBitForBit) {
  ASSERT_STRNE("", MOVAR_CC) << "no C compiler found";
  TWorkspace work;
  WriteDoubles(work.Dir / "xs.bin", *xs_);
  std::ofstream(work.Dir / "models.c") << CDriver(*programs_);
  const std::string dir = work.Dir.string();
  struct TCompiler {
    std::string Name, Command;
  };
  const TCompiler compilers[] = {
      {"C", std::string(MOVAR_CC) + " -std=c99 -O1 -Wall -Werror -o " + dir + "/c-models " + dir +
                "/models.c -lm"},
      {"C++", std::string(MOVAR_CXX) + " -x c++ -std=c++11 -O0 -Wall -Werror -o " + dir +
                  "/c-models " + dir + "/models.c"},
  };
  for (const TCompiler& compiler : compilers) {
    ASSERT_EQ(0, Shell(compiler.Command)) << compiler.Command;
    ASSERT_EQ(0, Shell(dir + "/c-models " + dir + "/xs.bin " + dir + "/c.bin"));
    const std::vector<double> actual = ReadDoubles(work.Dir / "c.bin");
    const long at = FirstDifference(*expected_, actual);
    EXPECT_EQ(-1, at) << compiler.Name << ": "
                      << Describe(*programs_, *xs_, *expected_, actual, at);
  }
}

TEST_F(CodeEmitterTest, PythonWithNumPyReproducesTheInterpreterBitForBit) {
  ASSERT_STRNE("", MOVAR_PYTHON) << "no python3 with NumPy found";
  TWorkspace work;
  WriteDoubles(work.Dir / "xs.bin", *xs_);
  std::string script;
  for (std::size_t k = 0; k < programs_->size(); ++k)
    script += EmitPython((*programs_)[k], Origin, "model_" + std::to_string(k)) + "\n";
  script += "import sys\nimport numpy as np\nxs = np.fromfile(sys.argv[1], dtype=np.float64)\n";
  script += "models = [";
  for (std::size_t k = 0; k < programs_->size(); ++k)
    script += "model_" + std::to_string(k) + ",";
  script +=
      "]\nnp.concatenate([np.broadcast_to(m(xs), xs.shape) for m in models])"
      ".astype(np.float64).tofile(sys.argv[2])\n";
  // One number at a time gives a number, the same as in an array.
  script += "np.array([m(x) for m in models[-16:] for x in xs[:300]]).tofile(sys.argv[3])\n";
  std::ofstream(work.Dir / "models.py") << script;
  const std::string dir = work.Dir.string();
  ASSERT_EQ(0, Shell(std::string(MOVAR_PYTHON) + " " + dir + "/models.py " + dir + "/xs.bin " +
                     dir + "/py.bin " + dir + "/scalar.bin"));
  const std::vector<double> actual = ReadDoubles(work.Dir / "py.bin");
  const long at = FirstDifference(*expected_, actual);
  EXPECT_EQ(-1, at) << Describe(*programs_, *xs_, *expected_, actual, at);

  const std::vector<TTuringEvaluator> last(programs_->end() - 16, programs_->end());
  const std::vector<double> first(xs_->begin(), xs_->begin() + 300);
  const std::vector<double> scalar = ReadDoubles(work.Dir / "scalar.bin");
  const std::vector<double> expected = Expected(last, first);
  const long scalarAt = FirstDifference(expected, scalar);
  EXPECT_EQ(-1, scalarAt) << Describe(last, first, expected, scalar, scalarAt);
}

TEST(CodeEmitter, LeavesOutWhatCannotReachTheResult) {
  // Register 1 is computed and never read; a comparison without a statement does nothing.
  const TTuringEvaluator p = Program(
      2, {Const(1, opAdd, 5), Reg(0, opSin, 0), Const(1, opMul, 2), Const(0, opIfGreater, 1)});
  const std::string c = EmitC(p, Origin);
  EXPECT_EQ(std::string::npos, c.find("r1")) << c;
  EXPECT_EQ(std::string::npos, c.find("if (r0")) << c;
  EXPECT_NE(std::string::npos, c.find("sinl(r0)")) << c;
  const std::string python = EmitPython(p, Origin);
  EXPECT_EQ(std::string::npos, python.find("r1")) << python;
}

TEST(CodeEmitter, NamesTheSamplesAndTheMarginInOneCommentLine) {
  const TTuringEvaluator p = Program(1, {Reg(0, opSin, 0)});
  const TModelOrigin origin{"data/sine.mvs", 0.05};
  EXPECT_NE(
      std::string::npos,
      EmitC(p, origin).find("\n// Movar Tester model for data/sine.mvs, margin of error 5.00%\n"
                            "double model(double x) {"));
  EXPECT_EQ(0u,
            EmitPython(p, origin, "f")
                .find("# Movar Tester model for data/sine.mvs, margin of error 5.00%\ndef f(x):"));
  // A name with a line break cannot end the comment early.
  EXPECT_EQ(std::string::npos, EmitC(p, {"a\nb.mvs", 0.1}).find("a\nb"))
      << EmitC(p, {"a\nb.mvs", 0.1});
}

TEST(CodeEmitter, ConstantOperandsDecideTheirTestsWhenEmitted) {
  // Division by a constant needs no test; a power above 10 and a logarithm of -1 do nothing.
  const TTuringEvaluator p =
      Program(2, {Const(0, opDiv, 4), Const(0, opPow, 12), Const(1, opAdd, 1), Reg(0, opAdd, 1)});
  const std::string c = EmitC(p, Origin);
  EXPECT_EQ(std::string::npos, c.find("!= 0")) << c;
  EXPECT_EQ(std::string::npos, c.find("12.0")) << c;
  EXPECT_NE(std::string::npos, c.find("(long double)r0 / 4.0")) << c;
}

namespace {

// count programs of the given inputs, 1 to 40 instructions and up to two registers more
// than inputs, each from its own fixed seed.
std::vector<TTuringEvaluator> WidePrograms(std::int32_t inputs, int count) {
  static const int Instructions[] = {1, 3, 8, 20, 40};
  std::vector<TTuringEvaluator> programs;
  for (int k = 0; k < count; ++k) {
    TTuringEvaluator p(Instructions[k % 5], inputs + k % 3, inputs);
    TRandomStream random(0x71de0000u + static_cast<std::uint32_t>(inputs * 1000 + k));
    p.RandomizeAll(random);
    programs.push_back(p);
  }
  return programs;
}

// rows rows of inputs values each, drawn from the edges and random values.
std::vector<double> WideRows(std::int32_t inputs, std::size_t rows) {
  const std::vector<double> xs = EdgeAndRandomXs(2000);
  TRandomStream random(static_cast<std::uint32_t>(inputs));
  std::vector<double> values;
  for (std::size_t i = 0; i < rows * static_cast<std::size_t>(inputs); ++i)
    values.push_back(
        xs[static_cast<std::size_t>(random.Int(static_cast<std::int32_t>(xs.size())))]);
  return values;
}

// Column names that each need making into an identifier, then y.
TModelOrigin WideOrigin(std::int32_t inputs) {
  static const char* const Names[] = {"a b", "for", "x1", "r2", "np", "model", "len", "mass(kg)"};
  TModelOrigin origin{"wide.mvs", 0.1, {}};
  for (std::int32_t k = 0; k < inputs; ++k)
    origin.Columns.emplace_back(Names[k]);
  origin.Columns.emplace_back("y");
  return origin;
}

struct TWideSet {
  std::int32_t Inputs;
  std::vector<TTuringEvaluator> Programs;
  std::vector<double> Rows;
};

std::vector<TWideSet> WideSets() {
  std::vector<TWideSet> sets;
  for (std::int32_t inputs = 1; inputs <= 8; ++inputs)
    sets.push_back({inputs, WidePrograms(inputs, 30), WideRows(inputs, 400)});
  return sets;
}

// Every program of every set on every row of its set, in that order.
std::vector<double> WideExpected(std::vector<TWideSet> sets) {
  std::vector<double> values;
  for (TWideSet& set : sets) {
    const auto n = static_cast<std::size_t>(set.Inputs);
    for (TTuringEvaluator& p : set.Programs)
      for (std::size_t i = 0; i < set.Rows.size(); i += n)
        values.push_back(p.Execute(std::span<const double>(&set.Rows[i], n)));
  }
  return values;
}

std::string Arguments(const std::string& row, std::int32_t inputs) {
  std::string text;
  for (std::int32_t k = 0; k < inputs; ++k)
    text += (k > 0 ? ", " : "") + row + "[" + std::to_string(k) + "]";
  return text;
}

}  // namespace

TEST(CodeEmitter, ModelsOfSeveralInputsReproduceTheInterpreterBitForBit) {
  ASSERT_STRNE("", MOVAR_CC) << "no C compiler found";
  ASSERT_STRNE("", MOVAR_PYTHON) << "no python3 with NumPy found";
  const std::vector<TWideSet> sets = WideSets();
  const std::vector<double> expected = WideExpected(sets);
  TWorkspace work;
  const std::string dir = work.Dir.string();
  std::string c = "#include <stdio.h>\n";
  std::string calls;
  std::string python = "import sys\nimport numpy as np\nout = []\n";
  for (const TWideSet& set : sets) {
    const std::string n = std::to_string(set.Inputs);
    WriteDoubles(work.Dir / ("rows-" + n + ".bin"), set.Rows);
    calls += "  rows = load(argv[1], " + n + ");\n";
    python += "rows = np.fromfile(sys.argv[1] + '/rows-" + n + ".bin').reshape(-1, " + n + ")\n";
    for (std::size_t k = 0; k < set.Programs.size(); ++k) {
      const std::string name = "model_" + n + "_" + std::to_string(k);
      c += EmitC(set.Programs[k], WideOrigin(set.Inputs), name) + "\n";
      calls += "  for (size_t i = 0; i < rows; ++i) { double y = " + name + "(" +
               Arguments("(buffer + i * " + n + ")", set.Inputs) +
               "); fwrite(&y, sizeof y, 1, out); }\n";
      python += EmitPython(set.Programs[k], WideOrigin(set.Inputs), name) + "\n";
      // Arrays, and a number per input for the first rows: the same values.
      python += "out.append(np.broadcast_to(" + name + "(*rows.T), rows.shape[:1]))\n";
      python += "assert all(" + name + "(*rows[i]) == out[-1][i] or np.isnan(out[-1][i]) " +
                "for i in range(5))\n";
    }
  }
  c += R"(static double buffer[1 << 16];
static size_t load(const char* dir, int inputs) {
  char path[4096];
  snprintf(path, sizeof path, "%s/rows-%d.bin", dir, inputs);
  FILE* in = fopen(path, "rb");
  size_t n = fread(buffer, sizeof(double), sizeof buffer / sizeof buffer[0], in);
  fclose(in);
  return n / (size_t)inputs;
}
int main(int argc, char** argv) {
  FILE* out = fopen(argv[2], "wb");
  size_t rows;
  (void)argc;
)" + calls +
       "  fclose(out);\n  return 0;\n}\n";
  python += "np.concatenate(out).astype(np.float64).tofile(sys.argv[2])\n";
  std::ofstream(work.Dir / "models.c") << c;
  std::ofstream(work.Dir / "models.py") << python;
  const std::string compile = std::string(MOVAR_CC) + " -std=c99 -O1 -Wall -Werror -o " + dir +
                              "/c-models " + dir + "/models.c -lm";
  ASSERT_EQ(0, Shell(compile)) << compile;
  ASSERT_EQ(0, Shell(dir + "/c-models " + dir + " " + dir + "/c.bin"));
  EXPECT_EQ(-1, FirstDifference(expected, ReadDoubles(work.Dir / "c.bin"))) << "C";
  ASSERT_EQ(0, Shell(std::string(MOVAR_PYTHON) + " " + dir + "/models.py " + dir + " " + dir +
                     "/py.bin"));
  EXPECT_EQ(-1, FirstDifference(expected, ReadDoubles(work.Dir / "py.bin"))) << "Python";
}

TEST(CodeEmitter, InputsAreParametersInColumnOrder) {
  const TTuringEvaluator p = Program(3, {Reg(0, opSub, 1)}, 2);
  const std::string c = EmitC(p, {"s.mvs", 0.1, {"theta", "sigma", "y"}});
  EXPECT_NE(std::string::npos, c.find("double model(double theta, double sigma) {\n"
                                      "  double r0 = theta, r1 = sigma;\n"))
      << c;
  EXPECT_NE(std::string::npos, EmitPython(p, {"s.mvs", 0.1, {}}).find("def model(x1, x2):"));
}
