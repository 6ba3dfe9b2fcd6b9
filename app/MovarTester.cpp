// Movar Tester: the program entry. Creates the application and its one window and runs
// the message loop; no error leaves main.
#include <exception>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include <QApplication>

#include "app/AppTitle.h"
#include "app/CommandLine.h"
#include "version/MovarVersion.h"
#include "app/DisplayCheck.h"
#include "app/Unit1.h"

namespace {

// Errors that escape a handler end in the application's error box; the program goes on.
class TApplication : public QApplication {
 public:
  using QApplication::QApplication;

  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
      if (ErrorBox) ErrorBox(error.what());
    }
    return false;
  }

  std::function<void(const char*)> ErrorBox;
};

int Run(int argc, char** argv) {
  TApplication application(argc, argv);
  QApplication::setApplicationName(AppTitle);
  QApplication::setApplicationDisplayName(AppTitle);
  QApplication::setApplicationVersion(QString::fromLatin1(MovarVersion));
  QGuiApplication::setDesktopFileName(QString::fromLatin1(MovarAppId));
  TCommandLine commandLine;
  commandLine.Process(application);

  const TWindowServices services = DesktopServices();
  TForm1 form1(services);
  application.ErrorBox = [&form1](const char* text) { form1.ShowError(text); };
  form1.show();
  // A file named on the command line replaces the generated sample; when it cannot be read the
  // error box says so over the window, which keeps the generated sample.
  commandLine.OpenStartFile(form1);
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (const auto missing =
            MissingDisplay(std::vector<std::string>(argv + 1, argv + argc), ProcessEnvironment())) {
      std::cerr << "movar-tester: " << *missing << '\n';
      return 1;
    }
    return Run(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "movar-tester: " << error.what() << '\n';
  } catch (...) {
    std::cerr << "movar-tester: unknown error\n";
  }
  return 1;
}
