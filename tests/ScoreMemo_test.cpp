#include "core/scoring/ScoreMemo.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/model/TE.h"

namespace {

// The residual program of "R0 := R0 op value" and its hash.
struct TDecoded {
  std::vector<TFastScorer::TStep> Steps;
  std::uint64_t Hash;
};

TDecoded Decode(std::uint8_t op, double value) {
  TTuringEvaluator program(1, 1);
  program.SetInstruction(0, {0, op, ConstantOperand, value});
  program.UpdateExecEnd();
  TFastScorer scorer;
  scorer.Load(program);
  TDecoded decoded{{scorer.Steps().begin(), scorer.Steps().end()}, 0};
  decoded.Hash = TScoreMemo::Hash(decoded.Steps);
  return decoded;
}

}  // namespace

TEST(ScoreMemo, FindsOnlyTheSameStepsBitForBit) {
  TScoreMemo memo;
  const TDecoded add = Decode(opAdd, 1.5);
  EXPECT_EQ(nullptr, memo.Find(add.Steps, add.Hash)) << "an empty memo knows nothing";
  memo.Add(add.Steps, add.Hash, {2.5, 7});
  const TScoreMemo::TScore* found = memo.Find(Decode(opAdd, 1.5).Steps, add.Hash);
  ASSERT_NE(nullptr, found);
  EXPECT_EQ(2.5, found->Error);
  EXPECT_EQ(7, found->Scored);

  // Equal as doubles but not the same constant: 0 and -0 divide differently.
  const TDecoded plusZero = Decode(opMul, 0.0);
  const TDecoded minusZero = Decode(opMul, -0.0);
  memo.Add(plusZero.Steps, plusZero.Hash, {1, 1});
  EXPECT_EQ(nullptr, memo.Find(minusZero.Steps, minusZero.Hash));
  // Other steps under a colliding hash are not taken for the remembered ones.
  EXPECT_EQ(nullptr, memo.Find(Decode(opSub, 1.5).Steps, add.Hash));
  EXPECT_EQ(nullptr, memo.Find(Decode(opAdd, 1.25).Steps, add.Hash));

  memo.Clear();
  EXPECT_EQ(0u, memo.Size());
  EXPECT_EQ(nullptr, memo.Find(add.Steps, add.Hash));
}

TEST(ScoreMemo, KeepsEveryScoreAsItGrows) {
  TScoreMemo memo;
  for (int round = 0; round < 2; ++round) {  // the second after Clear reuses the table
    for (int k = 0; k < 5000; ++k) {
      const TDecoded d = Decode(opAdd, k + round * 0.5);
      memo.Add(d.Steps, d.Hash, {static_cast<double>(k), k});
    }
    EXPECT_EQ(5000u, memo.Size());
    for (int k = 0; k < 5000; k += 7) {
      const TDecoded d = Decode(opAdd, k + round * 0.5);
      const TScoreMemo::TScore* found = memo.Find(d.Steps, d.Hash);
      ASSERT_NE(nullptr, found) << k;
      EXPECT_EQ(k, found->Error);
    }
    memo.Clear();
  }
}
