#include "formula/InputNames.h"

#include <gtest/gtest.h>

#include "core/model/SD.h"

TEST(InputNames, WithoutNamesXOrXOneToN) {
  EXPECT_EQ((std::vector<std::string>{"x"}), InputIdentifiers(TSampleData(3)));
  EXPECT_EQ((std::vector<std::string>{"x1", "x2", "x3"}), InputIdentifiers(TSampleData(3, 3)));
}

TEST(InputNames, ColumnNamesBecomeIdentifiersNoTwoAlike) {
  TSampleData samples(1, 8);
  samples.SetNames({"mass (kg)", "2nd", "for", "r3", "a-b", "a b", "Länge", "???", "y"});
  EXPECT_EQ(
      (std::vector<std::string>{"mass_kg", "x2nd", "for_", "r3_", "a_b", "a_b_2", "L_nge", "x8"}),
      InputIdentifiers(samples));
  // Names the emitted code uses itself take an underscore.
  EXPECT_EQ((std::vector<std::string>{"np_", "sinl_", "call_expl_", "model_"}),
            InputIdentifiers(std::vector<std::string>{"np", "sinl", "call_expl", "model"}, 4));
  // A name like another's fallback is told apart from it.
  EXPECT_EQ((std::vector<std::string>{"x2", "x2_2"}),
            InputIdentifiers(std::vector<std::string>{"x2", ""}, 2));
}
