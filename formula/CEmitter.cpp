// The model as a C function.
#include <charconv>
#include <cmath>
#include <set>
#include <vector>

#include "core/model/Liveness.h"
#include "formula/CodeEmitter.h"
#include "formula/InputNames.h"

namespace {

const char* const TrigLimitText = "9223372036854775808.0";

std::string Reg(int index) {
  return "r" + std::to_string(index);
}

std::string Operand(const TInstruction& in) {
  if (in.Src != ConstantOperand) return Reg(in.Src);
  if (std::isnan(in.Value)) return "NAN";
  if (std::isinf(in.Value)) return in.Value > 0 ? "HUGE_VAL" : "(-HUGE_VAL)";
  const std::string text = DoubleLiteral(in.Value);
  return in.Value < 0 ? "(" + text + ")" : text;
}

// "if the rounded value is finite, store it", the interpreter's failure rule.
std::string Store(const std::string& d, const std::string& value) {
  return "t = " + value + "; if (isfinite((double)t)) " + d + " = (double)t;";
}

// The statement under its operand test; no test when a constant operand decides it.
std::string Guarded(const TInstruction& in, const std::string& test, const std::string& body) {
  if (const std::optional<bool> passes = ConstantOperandPasses(in)) return *passes ? body : "";
  return "if (" + test + ") " + (body[0] == '{' ? body : "{ " + body + " }");
}

std::string Power(const std::string& d, const std::string& o) {
  const std::string i = "  ";
  return "{\n" + i + "  double b = " + d + ", e = " + o + ";\n" + i + "  if (e == 0) " + d +
         " = 1;\n" + i + "  else if (b == 0 && e > 0) " + d + " = 0;\n" + i +
         "  else if (e == trunc(e) && fabs(e) <= 2147483647.0) {\n" + i +
         "    unsigned long n = (unsigned long)fabs(e);\n" + i + "    long double p = 1, q = b;\n" +
         i + "    for (;;) { if (n & 1) p *= q; n >>= 1; if (n == 0) break; q *= q; }\n" + i +
         "    if (e > 0) { " + Store(d, "p") + " }\n" + i +
         "    else if (p != 0 && isfinite(p)) { " + Store(d, "1 / p") + " }\n" + i +
         "  } else if (!(b <= 0)) { " + Store(d, "call_expl((long double)e * call_logl(b))") +
         " }\n" + i + "  }";
}

std::string Statement(const TInstruction& in) {
  const std::string d = Reg(in.Dest);
  const std::string o = Operand(in);
  switch (in.Op) {
    case opAdd:
      return Store(d, "(long double)" + d + " + " + o);
    case opSub:
      return Store(d, "(long double)" + d + " - " + o);
    case opMul:
      return Store(d, "(long double)" + d + " * " + o);
    case opDiv:
      return Guarded(in, o + " != 0", Store(d, "(long double)" + d + " / " + o));
    case opPow:
      return Guarded(in, o + " <= 10", Power(d, o));
    case opSin:
    case opCos:
      return d + " = fabs(" + o + ") >= " + TrigLimitText + " ? 0.0 : (double)" +
             (in.Op == opSin ? "call_sinl(" : "call_cosl(") + o + ");";
    case opTan:
      return Guarded(in, "fabs(" + o + ") < " + TrigLimitText, Store(d, "call_tanl(" + o + ")"));
    case opExp:
      return Guarded(in, o + " >= 0 && " + o + " < 1", Store(d, "call_expl(" + o + ")"));
    case opSqrt:
      return Guarded(in, o + " >= 0", Store(d, "call_sqrtl(" + o + ")"));
    default:
      return Guarded(in, o + " > 0", Store(d, "call_logl(" + o + ")"));
  }
}

std::string Comparison(const TInstruction& in) {
  const std::string test = Reg(in.Dest) + " > " + Operand(in);
  // Not "<=": a NaN fails both tests, and the interpreter takes "not greater".
  return in.Op == opIfGreater ? test : "!(" + test + ")";
}

}  // namespace

std::string DoubleLiteral(double value) {
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  std::string text(buffer, end);
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
}

std::string EmitC(const TTuringEvaluator& program, const TModelOrigin& origin,
                  const std::string& name) {
  const std::vector<bool> live = LiveInstructions(program);
  const std::vector<TInstruction>& code = program.Code();
  std::set<int> registers{0};
  std::set<int> tested;  // registers the comparisons in front of the next statement read
  std::string body;
  std::vector<std::string> conditions;
  const auto uses = [](std::set<int>& set, const TInstruction& in) {
    set.insert(in.Dest);
    if (in.Src != ConstantOperand) set.insert(in.Src);
  };
  for (int i = 0; i <= LastRun(program); ++i) {
    if (!live[i]) continue;
    if (IsComparison(code[i].Op)) {
      conditions.push_back(Comparison(code[i]));
      uses(tested, code[i]);
      continue;
    }
    const std::string statement = Statement(code[i]);
    std::string test;
    for (std::size_t k = 0; k < conditions.size(); ++k)
      test += (k > 0 ? " && " : "") + conditions[k];
    conditions.clear();
    if (!statement.empty()) {
      uses(registers, code[i]);
      registers.insert(tested.begin(), tested.end());
      body +=
          test.empty() ? "  " + statement + "\n" : "  if (" + test + ") { " + statement + " }\n";
    }
    tested.clear();  // a statement that does nothing needs no test either
  }
  // Register k < inputs starts with input k, as in the interpreter.
  const std::vector<std::string> inputs = InputIdentifiers(origin.Columns, program.InputCount());
  const auto start = [&inputs](int r) {
    return r < std::ssize(inputs) ? inputs[static_cast<std::size_t>(r)] : std::string("0");
  };
  std::string declarations = "  double r0 = " + start(0);
  for (const int r : registers)
    if (r > 0) declarations += ", " + Reg(r) + " = " + start(r);
  declarations += ";\n";
  std::string parameters;
  for (const std::string& input : inputs)
    parameters += (parameters.empty() ? "double " : ", double ") + input;
  if (body.find("t = ") != std::string::npos) declarations += "  long double t;\n";
  // Constant arguments reach the library too (0 and 1 from a power, sums of constants): a
  // compiler that computed such a call itself could round it otherwise than the library.
  bool first = true;
  for (const char* f : {"sinl", "cosl", "tanl", "expl", "logl", "sqrtl"}) {
    const std::string call = std::string("call_") + f;
    if (body.find(call + "(") == std::string::npos) continue;
    if (first)
      declarations += "  // The library's own results, never a compiler's folding of them:\n";
    first = false;
    declarations += "  long double (*volatile " + call + ")(long double) = " + f + ";\n";
  }
  return "#include <math.h>\n\n// " + DescribeOrigin(origin) + "\ndouble " + name + "(" +
         parameters + ") {\n" + declarations + body + "  return r0;\n}\n";
}
