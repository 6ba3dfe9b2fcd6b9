#pragma once
// The window's command line, `movar-tester [FILE]`: --help and --version as every program has
// them, and the sample file that the window opens at start in place of the generated sample.

#include <optional>

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

class QCoreApplication;
class TForm1;

class TCommandLine {
 public:
  TCommandLine();

  // Reads the program's arguments; --help, --version and unknown options print and end it.
  void Process(const QCoreApplication& application);
  // Reads the arguments without ending the program; false for unknown options.
  [[nodiscard]] bool Parse(const QStringList& arguments);

  [[nodiscard]] std::optional<QString> StartFile() const;
  // Opens the start file, when there is one, as "Open" would: errors end in the error box.
  void OpenStartFile(TForm1& form) const;

 private:
  QCommandLineParser parser_;
};
