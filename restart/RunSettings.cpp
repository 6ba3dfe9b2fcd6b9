#include "restart/RunSettings.h"

#include <stdexcept>

void ApplySetting(TRunSettings& settings, const TSearchSetting& setting,
                  std::int64_t value) noexcept {
  if (ApplySetting(settings.Search, setting, value)) return;
  if (ApplySetting(settings.Restart, setting, value)) return;
  if (&setting == &RestartsSetting) settings.Restarts = value != 0;
}

std::string OutOfRangeText(const TSearchSetting& setting, const std::string& value,
                           const TSettingName& name) {
  return name(setting) + ": out of range (" + std::to_string(setting.Range.Minimum) + ".." +
         std::to_string(setting.Range.Maximum) + "): " + value;
}

void CompleteSettings(TRunSettings& settings, const std::set<const TSearchSetting*>& given,
                      const TSettingName& name) {
  if (settings.Restarts && settings.Search.GenerationLimit > 0) {
    throw std::invalid_argument(name(GenerationsSetting) + " limits a plain search; with " +
                                name(RestartsSetting) + " use " + name(AttemptsSetting) + " or " +
                                name(TimeLimitSetting));
  }
  if (!settings.Restarts) return;
  for (const TSearchSetting* setting : SearchSettings()) {
    if (setting->BestMode && !given.contains(setting))
      ApplySetting(settings, *setting, *setting->BestMode);
  }
}
