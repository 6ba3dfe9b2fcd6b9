#include "app/CommandLine.h"

#include <QCoreApplication>

#include "app/Unit1.h"

TCommandLine::TCommandLine() {
  parser_.setApplicationDescription(
      QStringLiteral("Searches for a formula that reproduces a set of sample points."));
  parser_.addHelpOption();
  parser_.addVersionOption();
  parser_.addPositionalArgument(
      QStringLiteral("file"),
      QStringLiteral("A sample file (.mvs) to open instead of the generated sine sample."),
      QStringLiteral("[file]"));
}

void TCommandLine::Process(const QCoreApplication& application) {
  parser_.process(application);
}

bool TCommandLine::Parse(const QStringList& arguments) {
  return parser_.parse(arguments);
}

std::optional<QString> TCommandLine::StartFile() const {
  const QStringList files = parser_.positionalArguments();
  if (files.isEmpty()) return std::nullopt;
  return files.constFirst();
}

void TCommandLine::OpenStartFile(TForm1& form) const {
  if (const std::optional<QString> file = StartFile()) form.OpenFile(*file);
}
