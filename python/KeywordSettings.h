#pragma once
// The settings of a run from Python keywords: each setting of the table under its Python
// name (time_limit for --time-limit), None for one not given. Values are checked against
// the table's ranges, as the command line checks them.

#include <string>

#include <pybind11/pybind11.h>

#include "restart/RunSettings.h"

// "time_limit", "scaled_constants".
[[nodiscard]] std::string PythonName(const TSearchSetting& setting);

// Throws TypeError for a value of the wrong kind or a name no setting has, and ValueError
// for a number out of range or settings that exclude each other.
[[nodiscard]] TRunSettings SettingsOf(const pybind11::dict& keywords);

// The table as Python sees it: one dict per setting, in the help's order.
[[nodiscard]] pybind11::list SettingTable();
