#include "core/search/SearchSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "core/search/SearchParameters.h"

namespace {

std::string NameOf(const TSearchSetting* setting) {
  return std::string(setting->Name);
}

}  // namespace

TEST(SearchSettings, EveryDefaultLiesInItsRangeUnlessItMeansNoValue) {
  for (const TSearchSetting* setting : SearchSettings()) {
    SCOPED_TRACE(NameOf(setting));
    const TSettingRange& range = setting->Range;
    EXPECT_LE(range.Minimum, range.Maximum);
    EXPECT_GE(range.Step, 1);
    // "no limit" and the like are told apart from every value the option accepts; the seed
    // is held as no value at all.
    if (setting->Unset.empty()) {
      EXPECT_TRUE(range.Holds(setting->Default));
    } else if (setting != &SeedSetting) {
      EXPECT_FALSE(range.Holds(setting->Default));
    }
    if (setting->BestMode) {
      EXPECT_TRUE(range.Holds(*setting->BestMode));
    }
    if (setting->Value.empty()) {
      EXPECT_EQ(0, range.Minimum) << "a switch is off or on";
      EXPECT_EQ(1, range.Maximum);
      EXPECT_TRUE(setting->OnOption || setting->OffOption) << "a switch no option can turn";
    } else {
      EXPECT_FALSE(setting->OnOption) << "a number is given by its value";
    }
  }
}

TEST(SearchSettings, TheWindowOffersPartOfWhatTheCommandLineAcceptsAndStartsOnAStep) {
  for (const TSearchSetting* setting : SearchSettings()) {
    SCOPED_TRACE(NameOf(setting));
    const TSettingRange window = setting->WindowRange();
    EXPECT_TRUE(setting->Range.Holds(window.Minimum));
    EXPECT_TRUE(setting->Range.Holds(window.Maximum));
    EXPECT_GE(window.Step, 1);
    if (setting->Unset.empty()) {
      EXPECT_TRUE(window.Holds(setting->Default));
      EXPECT_EQ(0, (setting->Default - window.Minimum) % window.Step)
          << "the arrows could never come back to the start value";
    }
  }
  // Where the window's box takes the whole range, there is nothing to keep apart.
  for (const TSearchSetting* same : {&RegistersSetting, &MarginSetting}) {
    EXPECT_FALSE(same->Window) << same->Name;
  }
}

TEST(SearchSettings, OptionNamesAreUniqueWithTheirOffForms) {
  std::set<std::string> names;
  for (const TSearchSetting* setting : SearchSettings()) {
    if (!setting->Value.empty() || setting->OnOption) {
      EXPECT_TRUE(names.insert(NameOf(setting)).second) << NameOf(setting);
    }
    if (setting->OffOption) {
      EXPECT_TRUE(names.insert("no-" + NameOf(setting)).second) << NameOf(setting);
    }
  }
  EXPECT_EQ(
      SearchSettings().size(),
      std::set<const TSearchSetting*>(SearchSettings().begin(), SearchSettings().end()).size());
}

TEST(SearchParameters, DefaultsAreTheTables) {
  const TSearchParameters defaults;
  EXPECT_FALSE(defaults.Seed) << "no seed: the clock's";
  for (const TSearchSetting* setting : SearchSettings()) {
    SCOPED_TRACE(NameOf(setting));
    if (!setting->Unset.empty() && setting != &SeedSetting) {
      EXPECT_EQ(0, setting->Default) << "a field holds no value as 0";
    }
    if (setting == &SeedSetting) continue;
    TSearchParameters applied;
    if (ApplySetting(applied, *setting, setting->Default)) {
      EXPECT_EQ(defaults, applied);
    }
  }
}

TEST(SearchParameters, EverySettingOfTheSearchHasAFieldOfItsOwn) {
  std::set<std::string> restarts{"restarts",    "restart-unit",      "attempts",
                                 "size-ladder", "unscaled-attempts", "short-programs"};
  for (const TSearchSetting* setting : SearchSettings()) {
    SCOPED_TRACE(NameOf(setting));
    const TSearchParameters defaults;
    TSearchParameters changed;
    // A value of the range other than the default: the field must change.
    const std::int64_t other =
        setting->Range.Holds(setting->Default) && setting->Default == setting->Range.Maximum
            ? setting->Range.Minimum
            : setting->Range.Maximum;
    const bool own = ApplySetting(changed, *setting, other);
    EXPECT_EQ(!restarts.contains(NameOf(setting)), own);
    if (own) {
      EXPECT_NE(defaults, changed);
    }
  }
  TSearchParameters seeded;
  ASSERT_TRUE(ApplySetting(seeded, SeedSetting, UINT32_MAX));
  EXPECT_EQ(UINT32_MAX, seeded.Seed);
  TSearchParameters limited;
  ASSERT_TRUE(ApplySetting(limited, TimeLimitSetting, 90));
  EXPECT_EQ(std::chrono::seconds(90), limited.TimeLimit);
}

TEST(SearchParameters, MarginIsTheNearestDoubleToItsPercent) {
  for (std::int32_t percent = 0; percent <= 40; ++percent) {
    TSearchParameters parameters;
    parameters.MarginPercent = percent;
    // strtod rounds the decimal text correctly, as a literal would.
    const std::string text = std::to_string(percent) + "e-2";
    EXPECT_EQ(std::strtod(text.c_str(), nullptr), parameters.Margin()) << percent;
  }
  EXPECT_EQ(0.1, TSearchParameters{}.Margin());
}
