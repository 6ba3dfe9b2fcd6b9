#include "watch/ModelFront.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/FrontTesting.h"

namespace {

std::vector<std::pair<std::int32_t, std::int32_t>> SizesAndGenerations(const TModelFront& front) {
  std::vector<std::pair<std::int32_t, std::int32_t>> kept;
  for (const TFrontModel& model : front.Kept())
    kept.emplace_back(model.Size, model.Generation);
  return kept;
}

}  // namespace

TEST(ModelFront, KeepsTheLowestErrorOfEachSizeInTheOrderFound) {
  const TSampleData samples = Zeros(3);
  TModelFront front(samples);
  using Kept = std::vector<std::pair<std::int32_t, std::int32_t>>;
  EXPECT_TRUE(front.Offer(Found(3, 9, 1)));
  EXPECT_TRUE(front.Offer(Found(1, 12, 2)));
  EXPECT_EQ((Kept{{1, 2}, {3, 1}}), SizesAndGenerations(front));
  EXPECT_TRUE(front.Offer(Found(3, 8, 3)));   // lower: replaces
  EXPECT_FALSE(front.Offer(Found(3, 8, 4)));  // a tie keeps the earlier
  EXPECT_FALSE(front.Offer(Found(3, 10, 5)));
  EXPECT_FALSE(front.Offer(Found(1, std::numeric_limits<double>::quiet_NaN(), 6)));
  EXPECT_TRUE(front.Offer(Found(2, 11, 7)));
  EXPECT_EQ((Kept{{1, 2}, {2, 7}, {3, 3}}), SizesAndGenerations(front));
  EXPECT_EQ(8.0, front.Kept()[2].Fit.Error);
  EXPECT_EQ(4u, front.Changes());

  // A model's size counts only what reaches the result: the dead addition to register 1
  // leaves a model of size 0.
  EXPECT_TRUE(front.Offer(Found(0, 20, 8)));
  EXPECT_EQ(0, front.Kept()[0].Size);
  front.Clear();
  EXPECT_TRUE(front.Kept().empty());
}

TEST(ModelFront, TheFrontIsWhatBeatsEverySmallerModel) {
  const TSampleData samples = Zeros(3);
  TModelFront front(samples);
  for (const auto& [size, error] : std::vector<std::pair<std::int32_t, double>>{
           {1, 10}, {2, 12}, {3, 6}, {4, 6}, {5, 2}, {6, std::nan("")}})
    front.Offer(Found(size, error));
  std::vector<std::int32_t> sizes;
  for (const TFrontModel* model : front.Front())
    sizes.push_back(model->Size);
  EXPECT_EQ((std::vector<std::int32_t>{1, 3, 5}), sizes);
  EXPECT_EQ(nullptr, front.Suggested()) << "no rows held out";
}

TEST(ModelFront, FiguresOnTheSamplesSearchedAndTheRowsHeldOut) {
  TSampleData samples = Zeros(3);  // y = 0: the predictions are the errors
  TSampleData heldOut(2);          // x = 10, 20 and y = 12, 21: model x + 2 misses by 0 and 1
  heldOut.SetX(0, 10);
  heldOut.SetY(0, 12);
  heldOut.SetX(1, 20);
  heldOut.SetY(1, 21);
  TModelFront front(samples, &heldOut);
  TModelUpdate update = Found(2, 5);
  update.Predictions = {3, 0, -4};
  ASSERT_TRUE(front.Offer(update));
  const TFrontModel& model = front.Kept().at(0);
  EXPECT_EQ(5.0, model.Fit.Error) << "as the search summed it";
  EXPECT_DOUBLE_EQ(std::sqrt(25.0 / 3), model.Fit.Rmse);
  EXPECT_EQ(0.0, model.Fit.RSquared) << "y without spread, a model with errors";
  ASSERT_TRUE(model.HeldOut);
  EXPECT_EQ(1.0, model.HeldOut->Error);
  EXPECT_DOUBLE_EQ(std::sqrt(0.5), model.HeldOut->Rmse);
  EXPECT_DOUBLE_EQ(1 - 1 / 40.5, model.HeldOut->RSquared);
  EXPECT_EQ((std::vector<double>{3, 0, -4}), model.Predictions);
}

TEST(ModelFront, SuggestsTheSmallestModelWithinFivePercentOfTheLowestHeldOutError) {
  // Held out: y = x + 5 at x = 0; model x + size misses it by |5 - size|. Searched errors
  // fall with size, so every model is on the front.
  const TSampleData samples = Zeros(3);
  const auto suggest = [&](std::vector<std::pair<std::int32_t, double>> sizesAndY) {
    TSampleData heldOut(1);
    heldOut.SetY(0, 0);
    std::vector<std::int32_t> suggested;
    for (const auto& [size, y] : sizesAndY) {
      heldOut.SetY(0, y);
      TModelFront front(samples, &heldOut);
      for (std::int32_t s = 1; s <= 8; ++s)
        front.Offer(Found(s, 100.0 - s));
      suggested.push_back(front.Suggested()->Size);
    }
    return suggested;
  };
  // The lowest held-out error is at the size equal to y; a smaller size is suggested only
  // while its error stays within 5 % of that lowest, which an exact fit (0) never allows.
  EXPECT_EQ((std::vector<std::int32_t>{5, 1, 8}), suggest({{5, 5}, {1, 1}, {8, 8}}));
  // y = 40.3: size 8 misses by 32.3, size 7 by 33.3 (3.1 % more), size 6 by 34.3 (6.2 %).
  EXPECT_EQ((std::vector<std::int32_t>{7}), suggest({{0, 40.3}}));
}
