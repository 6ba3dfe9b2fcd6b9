#include "app/DisplayCheck.h"

#include <gtest/gtest.h>

#include <map>

namespace {

TEnvironment Environment(std::map<std::string, std::string> variables) {
  return [variables](const char* name) -> std::optional<std::string> {
    const auto found = variables.find(name);
    if (found == variables.end()) return std::nullopt;
    return found->second;
  };
}

}  // namespace

#if defined(__unix__) && !defined(__APPLE__)
TEST(DisplayCheck, NamesWhatIsMissingWithoutADisplay) {
  const auto missing = MissingDisplay({}, Environment({{"HOME", "/root"}}));
  ASSERT_TRUE(missing.has_value());
  EXPECT_EQ(
      "There is no display to open the window on: neither DISPLAY nor WAYLAND_DISPLAY is set "
      "(start it in a desktop session, or under xvfb-run).",
      *missing);
  EXPECT_TRUE(MissingDisplay({"-style", "fusion"}, Environment({})).has_value());
}
#endif

TEST(DisplayCheck, ADisplayOrAChosenPlatformIsEnough) {
  EXPECT_FALSE(MissingDisplay({}, Environment({{"DISPLAY", ":0"}})));
  EXPECT_FALSE(MissingDisplay({}, Environment({{"WAYLAND_DISPLAY", "wayland-0"}})));
  EXPECT_FALSE(MissingDisplay({}, Environment({{"QT_QPA_PLATFORM", "offscreen"}})));
  EXPECT_FALSE(MissingDisplay({"-platform", "offscreen"}, Environment({})));
}
