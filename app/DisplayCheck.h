#pragma once
// Whether the window has a display to open on. Without one the toolkit aborts with advice
// about reinstalling; this says what is missing instead, before the toolkit starts.

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The environment variable of that name, or nothing when it is unset or empty.
using TEnvironment = std::function<std::optional<std::string>(const char* name)>;

// One sentence saying what is missing, or nothing when a display (or a platform chosen by
// the user) is there. Only X11 and Wayland systems can lack one.
[[nodiscard]] std::optional<std::string> MissingDisplay(const std::vector<std::string>& arguments,
                                                        const TEnvironment& environment);

// The process's own environment.
[[nodiscard]] TEnvironment ProcessEnvironment();
