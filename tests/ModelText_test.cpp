#include "frontend/ModelText.h"

#include <gtest/gtest.h>

#include "tests/ProgramTesting.h"

TEST(ModelText, OneInputWithoutNamesIsTheTextItAlwaysWas) {
  const TSampleData samples(3);
  EXPECT_EQ("", InputNamesComment(samples));
  EXPECT_EQ((std::vector<std::string>{"double model(double valueX) {", "double var[1];",
                                      "var[0] = valueX;", "return var[0];", "}"}),
            FirstModelText(samples));
  const std::vector<std::string> lines{"// report", "double model(double valueX) {", "}"};
  EXPECT_EQ(lines, NamedModelText(lines, samples));
  EXPECT_EQ(1, FirstModel(samples).InputCount());
}

TEST(ModelText, OnlyNamesOfTheirOwnAreWorthAComment) {
  TSampleData plain(1);
  plain.SetNames({"x", "y"});
  EXPECT_FALSE(HasOwnNames(plain));
  EXPECT_EQ("", InputNamesComment(plain));
  TSampleData three(1, 3);
  three.SetNames({"x1", "x2", "x3", "y"});
  EXPECT_FALSE(HasOwnNames(three));
  three.SetNames({"x1", "x2", "x3", "z"});
  EXPECT_TRUE(HasOwnNames(three));
  EXPECT_EQ("// valueX1: x1, valueX2: x2, valueX3: x3; y: z", InputNamesComment(three));
}

TEST(ModelText, NamesGoInAsACommentBeforeTheSource) {
  TSampleData one(1);
  one.SetNames({"time", "value"});
  EXPECT_EQ("// valueX: time; y: value", InputNamesComment(one));

  TSampleData two(1, 2);
  two.SetNames({"theta", "sigma", "period"});
  const std::string comment = "// valueX1: theta, valueX2: sigma; y: period";
  EXPECT_EQ(comment, InputNamesComment(two));
  EXPECT_EQ((std::vector<std::string>{"// model correctness: 1 of 1", comment,
                                      "double model(double valueX1, double valueX2) {", "}"}),
            NamedModelText({"// model correctness: 1 of 1",
                            "double model(double valueX1, double valueX2) {", "}"},
                           two));
  const std::vector<std::string> first = FirstModelText(two);
  ASSERT_GE(first.size(), 2u);
  EXPECT_EQ(comment, first[0]);
  EXPECT_EQ("double model(double valueX1, double valueX2) {", first[1]);
}

TEST(ModelText, FirstModelReturnsTheFirstInput) {
  const TSampleData three(0, 3);
  TTuringEvaluator model = FirstModel(three);
  EXPECT_EQ(3, model.InputCount());
  const double inputs[] = {2.5, -1, 7};
  EXPECT_EQ(2.5, model.Execute(inputs));
}
