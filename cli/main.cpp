// movar-search: the search of the workbench without its window.
#include <clocale>
#include <exception>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/Options.h"
#include "cli/SearchCommand.h"
#include "core/model/DecimalSeparator.h"
#include "version/MovarVersion.h"

namespace {

void UseLocaleDecimalSeparator() {
  if (std::setlocale(LC_NUMERIC, "") != nullptr) {
    SetDecimalSeparator(std::localeconv()->decimal_point);
  }
  // Keep the C library's own number texts locale-free.
  std::setlocale(LC_NUMERIC, "C");
}

}  // namespace

int main(int argc, char** argv) {
  UseLocaleDecimalSeparator();
  TCliOptions options;
  try {
    options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::invalid_argument& error) {
    std::cerr << "movar-search: " << error.what() << '\n';
    return 2;
  }
  try {
    if (options.Help) {
      std::cout << Usage();
      return 0;
    }
    if (options.Version) {
      std::cout << "movar-search " << MovarVersion << '\n';
      return 0;
    }
    return RunSearch(options);
  } catch (const std::exception& error) {
    std::cerr << "movar-search: " << error.what() << '\n';
    return 2;
  }
}
