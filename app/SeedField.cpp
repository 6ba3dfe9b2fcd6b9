#include "app/SeedField.h"

#include <QValidator>

#include "frontend/WindowText.h"

namespace {

// Refuses every keystroke that would leave something other than a seed or nothing.
class TSeedValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    if (input.isEmpty() || ReadSeed(input.toStdString())) return Acceptable;
    return Invalid;
  }
};

}  // namespace

TSeedField::TSeedField(QWidget* parent) : QLineEdit(parent) {
  setValidator(new TSeedValidator(this));
  setMaxLength(10);  // 4294967295
  setToolTip(
      QStringLiteral("Empty: a new seed from the clock for every search.\n"
                     "A number repeats the search that used it."));
}

std::optional<std::uint32_t> TSeedField::Value() const {
  return ReadSeed(text().toStdString());
}

void TSeedField::ShowUsed(std::uint32_t seed) {
  setPlaceholderText(QString::number(seed));
}
