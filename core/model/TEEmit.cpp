// The model source text of a register program.
#include <algorithm>
#include <charconv>
#include <string>

#include "core/model/TE.h"

namespace {

const char* const LineBreak = "\r\n";

// Four decimals and "." whatever the user's locale. A constant that four decimals do not
// give back (one the refiner nudged, a linear scaling's) gets as many as it needs, so that
// the text is the program. The buffer holds the largest double and the smallest in full.
void AppendConstant(std::string& text, double value) {
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4);
  double back = 0;
  std::from_chars(buffer, result.ptr, back, std::chars_format::fixed);
  if (back != value)
    result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  text.append(buffer, result.ptr);
}

void AppendRegister(std::string& text, int index) {
  text += "var[";
  text += std::to_string(index);
  text += ']';
}

void AppendOperand(std::string& text, const TInstruction& in) {
  if (in.Src == ConstantOperand) {
    AppendConstant(text, in.Value);
  } else {
    AppendRegister(text, in.Src);
  }
}

void AppendPiece(std::string& text, const TInstruction& in) {
  static const char* const Assignments[] = {" += ", " -= ", " *= ", " /= ", " ^= "};
  static const char* const Functions[] = {"SIN", "COS", "TAN", "EXP", "SQRT", "LN"};
  if (IsComparison(in.Op)) {
    text += "if(";
    AppendRegister(text, in.Dest);
    text += in.Op == opIfGreater ? " > " : " <= ";
    AppendOperand(text, in);
    text += ") ";
    return;
  }
  AppendRegister(text, in.Dest);
  if (IsFunction(in.Op)) {
    text += " = ";
    text += Functions[in.Op - opSin];
    text += '(';
    AppendOperand(text, in);
    text += ')';
  } else {
    text += Assignments[std::min<int>(in.Op, opPow)];
    AppendOperand(text, in);
  }
  text += ';';
  text += LineBreak;
}

}  // namespace

std::string TTuringEvaluator::EmitSource() const {
  int maxReg = 0;
  for (std::int32_t i = 0; i <= execEnd_; ++i) {
    maxReg = std::max<int>(maxReg, code_[i].Dest);
    if (code_[i].Src != ConstantOperand) maxReg = std::max<int>(maxReg, code_[i].Src);
  }
  std::string text;
  if (inputCount_ == 1) {
    text = "double model(double valueX) {\r\n";
    text += "double var[" + std::to_string(maxReg + 1) + "];\r\n";
    text += "var[0] = valueX;\r\n";
  } else {
    // Every input has its parameter and its register, read or not.
    maxReg = std::max<int>(maxReg, inputCount_ - 1);
    text = "double model(";
    for (int k = 1; k <= inputCount_; ++k)
      text += (k > 1 ? ", double valueX" : "double valueX") + std::to_string(k);
    text += ") {\r\n";
    text += "double var[" + std::to_string(maxReg + 1) + "];\r\n";
    for (int k = 0; k < inputCount_; ++k)
      text += "var[" + std::to_string(k) + "] = valueX" + std::to_string(k + 1) + ";\r\n";
  }
  for (int k = inputCount_; k <= maxReg; ++k)
    text += "var[" + std::to_string(k) + "] = 0;\r\n";
  for (std::int32_t i = 0; i <= execEnd_; ++i)
    AppendPiece(text, code_[i]);
  // An if needs a statement to govern.
  if (execEnd_ >= 0 && IsComparison(code_[execEnd_].Op)) text += "var[0] = var[0];\r\n";
  text += "return var[0];\r\n}";
  return text;
}
