#include "app/DisplayCheck.h"

#include <algorithm>
#include <cstdlib>

std::optional<std::string> MissingDisplay(const std::vector<std::string>& arguments,
                                          const TEnvironment& environment) {
#if defined(__unix__) && !defined(__APPLE__) && !defined(__ANDROID__)
  // A platform named on the command line or in the environment is the user's choice.
  const bool platformChosen =
      std::find(arguments.begin(), arguments.end(), "-platform") != arguments.end() ||
      environment("QT_QPA_PLATFORM").has_value();
  if (platformChosen || environment("DISPLAY") || environment("WAYLAND_DISPLAY")) {
    return std::nullopt;
  }
  return "There is no display to open the window on: neither DISPLAY nor WAYLAND_DISPLAY is "
         "set (start it in a desktop session, or under xvfb-run).";
#else
  (void)arguments;
  (void)environment;
  return std::nullopt;
#endif
}

TEnvironment ProcessEnvironment() {
  return [](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return std::nullopt;
    return std::string(value);
  };
}
