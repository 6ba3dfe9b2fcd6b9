#include "frontend/FrontTable.h"

#include <gtest/gtest.h>

#include "core/model/DecimalSeparator.h"
#include "tests/FrontTesting.h"

TEST(FrontTable, ShowsTheFrontSmallestFirstWithAFormulaPerRow) {
  const TSampleData samples = Zeros(3);
  TModelFront front(samples);
  front.Offer(Found(2, 5));
  front.Offer(Found(1, 10.5));
  front.Offer(Found(3, 7));  // beaten by size 2: not on the front
  TFrontTable table;
  table.Show(front);
  ASSERT_EQ(2u, table.RowCount());
  EXPECT_FALSE(table.HasHeldOut());
  EXPECT_FALSE(table.Suggested());
  EXPECT_EQ("1", table.Text(0, TFrontTable::SizeColumn));
  EXPECT_EQ("10.5", table.Text(0, TFrontTable::ErrorColumn));
  EXPECT_EQ("6.06218", table.Text(0, TFrontTable::RmseColumn));  // 10.5 / sqrt(3)
  EXPECT_EQ("0", table.Text(0, TFrontTable::RSquaredColumn));
  EXPECT_EQ("1 of 3", table.Text(0, TFrontTable::MatchesColumn));
  EXPECT_EQ("", table.Text(0, TFrontTable::HeldOutErrorColumn));
  EXPECT_EQ("x + 1", table.Text(0, TFrontTable::FormulaColumn));
  EXPECT_EQ("x + 2", table.Text(1, TFrontTable::FormulaColumn));
  EXPECT_EQ("// size 2", table.Model(1).Lines.at(0));

  SetDecimalSeparator(",");
  EXPECT_EQ("10,5", table.Text(0, TFrontTable::ErrorColumn));
  SetDecimalSeparator(".");

  // A front that moved on leaves the rows shown as they were until shown again.
  front.Offer(Found(1, 1));
  EXPECT_EQ(2u, table.RowCount());
  table.Show(front);
  EXPECT_EQ(1u, table.RowCount());
}

TEST(FrontTable, FormulasNameTheInputsAsTheSearchedSetDoes) {
  TSampleData samples = Zeros(3);
  samples.SetNames({"theta", "period"});
  TModelFront front(samples);
  front.Offer(Found(1, 10.5));
  TFrontTable table;
  table.Show(front);
  EXPECT_EQ("theta + 1", table.Text(0, TFrontTable::FormulaColumn));
  // The same models over a set of other names are written anew.
  TSampleData renamed = Zeros(3);
  renamed.SetNames({"length", "period"});
  TModelFront other(renamed);
  other.Offer(Found(1, 10.5));
  table.Show(other);
  EXPECT_EQ("length + 1", table.Text(0, TFrontTable::FormulaColumn));

  TSampleData two(3, 2);
  two.SetNames({"theta", "sigma", "period"});
  TModelFront several(two);
  TModelUpdate update = Found(1, 10.5);
  update.Model = Program(2, {TInstruction{0, opMul, 1, 0}}, 2);
  several.Offer(update);
  table.Show(several);
  const std::string product = table.Text(0, TFrontTable::FormulaColumn);
  EXPECT_NE(std::string::npos, product.find("theta")) << product;
  EXPECT_NE(std::string::npos, product.find("sigma")) << product;
  EXPECT_EQ(std::string::npos, product.find("x1")) << product;
}

namespace {

// The table of models of sizes 1, 2 and 3 with these errors, over Zeros(3) and one held-out
// sample x = 0, y = 2, which model x + 2 fits exactly.
TFrontTable HeldOutTable(double error1, double error2, double error3) {
  const TSampleData samples = Zeros(3);
  TSampleData heldOut(1);
  heldOut.SetY(0, 2);
  TModelFront front(samples, &heldOut);
  front.Offer(Found(1, error1));
  front.Offer(Found(2, error2));
  front.Offer(Found(3, error3));
  TFrontTable table;
  table.Show(front);
  return table;
}

}  // namespace

TEST(FrontTable, LinesAlignTheColumnsAndMarkTheSuggestedModel) {
  TFrontTable table = HeldOutTable(10.5, 5, 4);
  ASSERT_TRUE(table.HasHeldOut());
  EXPECT_EQ(std::optional<std::size_t>(1), table.Suggested());
  EXPECT_EQ((std::vector<std::string>{
                "   size  error     RMSE  R\u00b2  matches  held-out error  held-out RMSE  "
                "held-out R\u00b2  formula",
                "      1   10.5  6.06218   0   1 of 3               1              1            "
                "0  x + 1",
                "*     2      5  2.88675   0   2 of 3               0              0            "
                "1  x + 2",
                "      3      4   2.3094   0   3 of 3               1              1            "
                "0  x + 3",
                "* suggested: the smallest model whose held-out error is within 5% of the lowest"}),
            FrontTableLines(table));
}

TEST(FrontTable, ThePlotHasAPointPerRowOnWholeDecadesWithZeroAtTheBottom) {
  const TFrontTable table = HeldOutTable(10.5, 0.5, 0);
  const TFrontPlot plot = FrontPlot(table);
  ASSERT_EQ(3u, plot.Points.size());
  EXPECT_EQ(1.0, plot.Points[0].X);
  EXPECT_EQ(10.5, plot.Points[0].Y);
  EXPECT_EQ(0.5, plot.Points[1].Y);
  EXPECT_LT(plot.ErrorAxis.Min, 0.5);
  EXPECT_GE(plot.ErrorAxis.Max, 10.5);
  EXPECT_EQ(plot.ErrorAxis.Min, plot.Points[2].Y) << "a zero error sits on the axis' floor";
  EXPECT_EQ(std::optional<std::size_t>(1), plot.Suggested);
  EXPECT_EQ(5.0, plot.SizeAxis);

  TFrontTable empty;
  const TFrontPlot none = FrontPlot(empty);
  EXPECT_TRUE(none.Points.empty());
  EXPECT_FALSE(none.Suggested);
  EXPECT_GT(none.ErrorAxis.Max, none.ErrorAxis.Min);
}
