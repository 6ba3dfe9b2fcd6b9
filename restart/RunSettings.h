#pragma once
// The settings of one run as a caller gives them by name, on the command line or in a
// Python call: the search's own, the restarts' and the switch between the two modes.
// Both callers read and complete them here, so the same settings make the same run.

#include <cstdint>
#include <functional>
#include <set>
#include <string>

#include "core/search/SearchParameters.h"
#include "restart/RestartSearch.h"

struct TRunSettings {
  TSearchParameters Search;  // the seed given, or none for the clock's
  TRestartParameters Restart;
  bool Restarts = false;
};

// Sets the field that holds the setting to value, which lies in the setting's range.
void ApplySetting(TRunSettings& settings, const TSearchSetting& setting,
                  std::int64_t value) noexcept;

// How a caller's users write a setting: "--time-limit" on the command line, "time_limit"
// in Python.
using TSettingName = std::function<std::string(const TSearchSetting&)>;

// "--registers: out of range (1..20): 25", with value as the user wrote it.
[[nodiscard]] std::string OutOfRangeText(const TSearchSetting& setting, const std::string& value,
                                         const TSettingName& name);

// With restarts, every addition that was not given takes its best-mode value. Settings
// that exclude each other throw std::invalid_argument with a sentence that names them.
void CompleteSettings(TRunSettings& settings, const std::set<const TSearchSetting*>& given,
                      const TSettingName& name);
