#include "watch/BestModels.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/model/DecimalSeparator.h"

namespace {

// A model whose source is "return <name>;" and whose report names its clones.
TModelUpdate Model(const std::string& name, std::int32_t matches, double error,
                   std::int32_t clones = 0) {
  TModelUpdate update;
  update.Matches = matches;
  update.SampleCount = 20;
  update.Error = error;
  update.Predictions = {error, error + 1};
  update.Lines = {"// model correctness",
                  "// margin",
                  "// model clones: " + std::to_string(clones),
                  "double model(double valueX) {",
                  "return " + name + ";",
                  "}"};
  return update;
}

std::string SourceOf(const TBestModel& model) {
  return model.Lines.at(4);
}

}  // namespace

TEST(BestModels, MoreMatchesFirstThenSmallerErrorThenNewer) {
  TBestModels models;
  EXPECT_EQ(0u, *models.Offer(Model("a", 5, 10)));
  EXPECT_EQ(0u, *models.Offer(Model("b", 7, 30)));
  EXPECT_EQ(1u, *models.Offer(Model("c", 5, 4)));
  EXPECT_EQ(1u, *models.Offer(Model("d", 5, 4)));  // equal to c, newer
  ASSERT_EQ(4u, models.Size());
  EXPECT_EQ("return b;", SourceOf(models.At(0)));
  EXPECT_EQ("return d;", SourceOf(models.At(1)));
  EXPECT_EQ("return c;", SourceOf(models.At(2)));
  EXPECT_EQ("return a;", SourceOf(models.At(3)));
  EXPECT_EQ(7, models.At(0).Matches);
  EXPECT_EQ(20, models.At(0).SampleCount);
  EXPECT_EQ(30, models.At(0).Error);
  EXPECT_EQ((std::vector<double>{30, 31}), models.At(0).Predictions);
  EXPECT_TRUE(models.At(0).Formula.empty());
}

TEST(BestModels, TheSameSourceIsListedOnceWhateverItsCloneCount) {
  TBestModels models;
  ASSERT_TRUE(models.Offer(Model("x", 3, 1, 0)));
  EXPECT_FALSE(models.Offer(Model("x", 3, 1, 17)));
  EXPECT_EQ(1u, models.Size());
  EXPECT_EQ("// model clones: 0", models.At(0).Lines[2]);
}

TEST(BestModels, AFullListKeepsTheTenBest) {
  TBestModels models;
  for (int i = 0; i < 12; ++i)
    models.Offer(Model("m" + std::to_string(i), i, 1));
  ASSERT_EQ(TBestModels::Capacity, models.Size());
  EXPECT_EQ(11, models.At(0).Matches);
  EXPECT_EQ(2, models.At(9).Matches);
  EXPECT_FALSE(models.Offer(Model("worse", 1, 0)));  // below the last of a full list
  EXPECT_FALSE(models.Place(Model("worse", 1, 0)));
  EXPECT_EQ(9u, *models.Offer(Model("tied", 2, 0.5)));
  EXPECT_EQ(0.5, models.At(9).Error);
  models.Clear();
  EXPECT_EQ(0u, models.Size());
}

TEST(BestModels, AnErrorThatIsNotANumberRanksLast) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  TBestModels models;
  models.Offer(Model("n", 4, nan));
  models.Offer(Model("f", 4, 1e300));
  models.Offer(Model("i", 4, std::numeric_limits<double>::infinity()));
  EXPECT_EQ("return f;", SourceOf(models.At(0)));
  EXPECT_EQ("return i;", SourceOf(models.At(1)));
  EXPECT_EQ("return n;", SourceOf(models.At(2)));
}

TEST(BestModels, Texts) {
  EXPECT_EQ("37 of 100", FormatMatches(37, 100));
  EXPECT_EQ("0.0123457", FormatModelError(0.01234567));
  EXPECT_EQ("1.5e+12", FormatModelError(1.5e12));
  EXPECT_EQ("0", FormatModelError(0));
  SetDecimalSeparator(",");
  EXPECT_EQ("2,5", FormatModelError(2.5));
  SetDecimalSeparator(".");
}
