// The model as a Python function over NumPy arrays.
#include <cmath>
#include <limits>
#include <set>
#include <vector>

#include "core/model/Liveness.h"
#include "formula/CodeEmitter.h"
#include "formula/InputNames.h"

namespace {

const char* const Indent = "        ";

std::string Reg(int index) {
  return "r" + std::to_string(index);
}

std::string Operand(const TInstruction& in) {
  if (in.Src != ConstantOperand) return Reg(in.Src);
  if (std::isnan(in.Value)) return "D('nan')";
  if (std::isinf(in.Value)) return in.Value > 0 ? "D('inf')" : "D('-inf')";
  return "D(" + DoubleLiteral(in.Value) + ")";
}

std::string And(const std::string& run, const std::string& test) {
  return run.empty() ? test : run + " & " + test;
}

std::string Store(const std::string& d, const std::string& value, const std::string& run) {
  return d + " = store(" + d + ", " + value + (run.empty() ? "" : ", " + run) + ")";
}

std::string Statement(const TInstruction& in, std::string run) {
  // A constant operand's test is decided here: no statement, or one without the test.
  const std::optional<bool> passes = ConstantOperandPasses(in);
  if (passes && !*passes) return "";
  const auto And = [&](const std::string& r, const std::string& test) {
    return passes ? r : ::And(r, test);
  };
  const std::string d = Reg(in.Dest);
  const std::string o = Operand(in);
  switch (in.Op) {
    case opAdd:
      return Store(d, "ext(" + d + ") + " + o, run);
    case opSub:
      return Store(d, "ext(" + d + ") - " + o, run);
    case opMul:
      return Store(d, "ext(" + d + ") * " + o, run);
    case opDiv:
      return Store(d, "ext(" + d + ") / " + o, And(run, "(" + o + " != 0)"));
    case opPow:
      return Store(d, "power(" + d + ", " + o + ")", And(run, "(" + o + " <= 10)"));
    case opSin:
    case opCos: {
      const std::string value =
          std::string("trig(") + (in.Op == opSin ? "np.sin" : "np.cos") + ", " + o + ")";
      return d + " = " + (run.empty() ? value : "np.where(" + run + ", " + value + ", " + d + ")");
    }
    case opTan:
      return Store(d, "np.tan(ext(" + o + "))", And(run, "(np.abs(" + o + ") < TRIG_LIMIT)"));
    case opExp:
      return Store(d, "np.exp(ext(" + o + "))", And(run, "(" + o + " >= 0) & (" + o + " < 1)"));
    case opSqrt:
      return Store(d, "np.sqrt(ext(" + o + "))", And(run, "(" + o + " >= 0)"));
    default:
      return Store(d, "np.log(ext(" + o + "))", And(run, "(" + o + " > 0)"));
  }
}

std::string Comparison(const TInstruction& in) {
  const std::string test = "(" + Reg(in.Dest) + " > " + Operand(in) + ")";
  return in.Op == opIfGreater ? test : "~" + test;
}

const char* const Helpers = R"(    def ext(v):
        return np.asarray(v, dtype=D).astype(L)

    def store(old, t, run=True):
        # Rounded to double; a result that is not finite leaves the register as it was.
        d = np.asarray(t).astype(D)
        return np.where(run & np.isfinite(d), d, old)

    def trig(f, o):
        o = np.asarray(o, dtype=D)
        return np.where(np.abs(o) >= TRIG_LIMIT, 0.0, f(o.astype(L)).astype(D))
)";

const char* const PowerHelper = R"(
    def power(b, e):
        # b to the power e <= 10: integral exponents by repeated squaring; inf where it fails.
        b, e = np.broadcast_arrays(np.asarray(b, dtype=D), np.asarray(e, dtype=D))
        integral = (e == np.trunc(e)) & (np.abs(e) <= 2147483647.0)
        n = np.where(integral, np.abs(e), 0).astype(np.uint32)
        p, q = np.ones(b.shape, dtype=L), b.astype(L)
        while n.any():
            p = np.where(n & 1, p * q, p)
            n = n >> 1
            q = np.where(n > 0, q * q, q)
        inverse = np.where((p != 0) & np.isfinite(p), 1 / p, L('inf'))
        general = np.where(b > 0, np.exp(e.astype(L) * np.log(b.astype(L))), L('inf'))
        t = np.where(integral, np.where(e > 0, p, inverse), general)
        t = np.where((b == 0) & (e > 0), L(0), t)
        return np.where(e == 0, L(1), t)
)";

}  // namespace

std::string EmitPython(const TTuringEvaluator& program, const TModelOrigin& origin,
                       const std::string& name) {
  const std::vector<bool> live = LiveInstructions(program);
  const std::vector<TInstruction>& code = program.Code();
  std::set<int> registers;
  std::set<int> tested;
  bool usesPower = false;
  std::string body;
  std::string run;
  const auto uses = [](std::set<int>& set, const TInstruction& in) {
    set.insert(in.Dest);
    if (in.Src != ConstantOperand) set.insert(in.Src);
  };
  for (int i = 0; i <= LastRun(program); ++i) {
    if (!live[i]) continue;
    const TInstruction& in = code[i];
    if (IsComparison(in.Op)) {
      run = And(run, Comparison(in));
      uses(tested, in);
      continue;
    }
    const std::string statement = Statement(in, run);
    run.clear();
    if (!statement.empty()) {
      uses(registers, in);
      registers.insert(tested.begin(), tested.end());
      usesPower = usesPower || in.Op == opPow;
      body += std::string(Indent) + statement + "\n";
    }
    tested.clear();
  }
  std::string text = "# " + DescribeOrigin(origin) + "\n";
  if (std::numeric_limits<long double>::digits != 64) {
    text +=
        "# numpy.longdouble stands for this machine's long double, which is not the 80-bit "
        "format of x86\n";
  }
  const std::vector<std::string> inputs = InputIdentifiers(origin.Columns, program.InputCount());
  std::string parameters;
  for (const std::string& input : inputs)
    parameters += (parameters.empty() ? "" : ", ") + input;
  text += "def " + name + "(" + parameters +
          "):\n    import numpy as np\n    L, D = np.longdouble, np.float64\n";
  text += "    TRIG_LIMIT = 9223372036854775808.0\n";
  text += "    if np.finfo(L).nmant != 63:\n        import warnings\n";
  text +=
      "        warnings.warn('numpy.longdouble is not the 80-bit extended format here; results "
      "may differ from the model in the last bit')\n\n";
  text += Helpers;
  if (usesPower) text += PowerHelper;
  text += "\n    with np.errstate(all='ignore'):\n";
  if (inputs.size() == 1) {
    text += std::string(Indent) + "r0 = np.array(" + inputs[0] + ", dtype=D)\n";
  } else {
    // Inputs of different shapes (an array and a number) broadcast to one.
    std::string list;
    for (const std::string& input : inputs)
      list += (list.empty() ? "" : ", ") + std::string("np.asarray(") + input + ", dtype=D)";
    text += std::string(Indent) + "inputs = np.broadcast_arrays(" + list + ")\n";
    text += std::string(Indent) + "r0 = np.array(inputs[0])\n";
  }
  for (const int r : registers) {
    if (r == 0) continue;
    text += std::string(Indent) + Reg(r) +
            (r < std::ssize(inputs) ? " = np.array(inputs[" + std::to_string(r) + "])\n"
                                    : " = np.zeros_like(r0)\n");
  }
  text += body;
  text += "    return r0 if r0.ndim else D(r0)\n";
  return text;
}
