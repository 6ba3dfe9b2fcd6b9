#include "restart/RunSettings.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <stdexcept>
#include <string>

namespace {

std::string Upper(const TSearchSetting& setting) {
  std::string name(setting.Name);
  for (char& c : name)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

}  // namespace

TEST(RunSettings, EachSettingReachesTheFieldThatHoldsIt) {
  TRunSettings settings;
  ApplySetting(settings, RegistersSetting, 7);
  ApplySetting(settings, RestartUnitSetting, 50);
  ApplySetting(settings, RestartsSetting, 1);
  EXPECT_EQ(7, settings.Search.RegisterCount);
  EXPECT_EQ(50, settings.Restart.Unit);
  EXPECT_TRUE(settings.Restarts);
  ApplySetting(settings, RestartsSetting, 0);
  EXPECT_FALSE(settings.Restarts);
}

TEST(RunSettings, RestartsTurnOnTheAdditionsThatWereNotGiven) {
  TRunSettings best;
  ApplySetting(best, RestartsSetting, 1);
  ApplySetting(best, RefineSetting, 0);
  CompleteSettings(best, {&RestartsSetting, &RefineSetting}, Upper);
  EXPECT_EQ(0, best.Search.RefineTrials) << "given, so kept";
  EXPECT_EQ(*MinimumWindowSetting.BestMode, best.Search.MinimumWindow);
  EXPECT_TRUE(best.Search.ScaledConstants);

  TRunSettings plain;
  CompleteSettings(plain, {}, Upper);
  EXPECT_EQ(0, plain.Search.MinimumWindow);
  EXPECT_FALSE(plain.Search.ScaledConstants);
}

TEST(RunSettings, SentencesNameTheSettingsAsTheCallerWritesThem) {
  TRunSettings settings;
  ApplySetting(settings, RestartsSetting, 1);
  ApplySetting(settings, GenerationsSetting, 10);
  try {
    CompleteSettings(settings, {&RestartsSetting, &GenerationsSetting}, Upper);
    FAIL() << "a generation limit with restarts was taken";
  } catch (const std::invalid_argument& error) {
    EXPECT_EQ(
        std::string("GENERATIONS limits a plain search; with RESTARTS use ATTEMPTS or TIME-LIMIT"),
        error.what());
  }
  EXPECT_EQ("REGISTERS: out of range (1..20): 25", OutOfRangeText(RegistersSetting, "25", Upper));
}
