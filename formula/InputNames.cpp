#include "formula/InputNames.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "core/model/SD.h"

namespace {

// Keywords of C and Python, and what the emitted code names itself: a parameter of that
// name would not compile or would hide the helper.
constexpr std::string_view Reserved[] = {
    "auto",     "break",    "case",   "char",     "const",      "continue", "default",  "do",
    "double",   "else",     "enum",   "extern",   "float",      "for",      "goto",     "if",
    "inline",   "int",      "long",   "register", "restrict",   "return",   "short",    "signed",
    "sizeof",   "static",   "struct", "switch",   "typedef",    "union",    "unsigned", "void",
    "volatile", "while",    "bool",   "true",     "false",      "and",      "as",       "assert",
    "async",    "await",    "class",  "def",      "del",        "elif",     "except",   "finally",
    "from",     "global",   "import", "in",       "is",         "lambda",   "nonlocal", "not",
    "or",       "pass",     "raise",  "try",      "with",       "yield",    "None",     "True",
    "False",    "np",       "L",      "D",        "TRIG_LIMIT", "ext",      "store",    "trig",
    "power",    "warnings", "t",      "model",    "fabs",       "trunc",    "isfinite", "NAN",
    "HUGE_VAL", "math",     "I",      "inputs"};

bool IsLetter(char c) noexcept {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c) noexcept {
  return c >= '0' && c <= '9';
}

// The emitted code's registers are r0, r1, ...; its library calls sinl, call_sinl, ...
bool IsTaken(const std::string& name) {
  if (std::find(std::begin(Reserved), std::end(Reserved), name) != std::end(Reserved)) return true;
  if (name.size() > 1 && name[0] == 'r' && std::all_of(name.begin() + 1, name.end(), IsDigit)) {
    return true;
  }
  if (name.starts_with("call_")) return true;
  for (const std::string_view f : {"sin", "cos", "tan", "exp", "log", "sqrt"}) {
    if (name == f || name == std::string(f) + "l") return true;
  }
  return false;
}

// Letters, digits and underscores; every other run of characters becomes one underscore.
std::string Identifier(const std::string& name) {
  std::string text;
  for (const char c : name) {
    if (IsLetter(c) || IsDigit(c) || c == '_') {
      text += c;
    } else if (!text.empty() && text.back() != '_') {
      text += '_';
    }
  }
  while (!text.empty() && text.back() == '_')
    text.pop_back();
  if (!text.empty() && IsDigit(text[0])) text = "x" + text;
  return text;
}

}  // namespace

std::vector<std::string> InputIdentifiers(std::span<const std::string> columnNames,
                                          std::int32_t inputCount) {
  std::vector<std::string> names;
  const auto count = static_cast<std::size_t>(std::max(inputCount, 1));
  for (std::size_t k = 0; k < count; ++k) {
    const std::string fallback = count == 1 ? "x" : "x" + std::to_string(k + 1);
    std::string name = k < columnNames.size() ? Identifier(columnNames[k]) : std::string();
    if (name.empty()) name = fallback;
    if (IsTaken(name)) name += '_';
    // Names that came out alike, or like a fallback, take a number.
    const auto used = [&names](const std::string& candidate) {
      return std::find(names.begin(), names.end(), candidate) != names.end();
    };
    if (used(name)) {
      int suffix = 2;
      while (used(name + "_" + std::to_string(suffix)))
        ++suffix;
      name += "_" + std::to_string(suffix);
    }
    names.push_back(std::move(name));
  }
  return names;
}

std::vector<std::string> InputIdentifiers(const TSampleData& samples) {
  return InputIdentifiers(samples.Names(), samples.InputCount());
}
