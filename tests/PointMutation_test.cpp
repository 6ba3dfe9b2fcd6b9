#include "core/search/PointMutation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

namespace {

enum class TChange { None, Operation, Destination, Source, Constant, Several };

// What tells after from before: one field, or none, or several.
TChange ChangeOf(const TInstruction& before, const TInstruction& after) {
  const bool op = before.Op != after.Op;
  const bool dest = before.Dest != after.Dest;
  const bool src = before.Src != after.Src;
  // A source made a constant brings its value; a register source leaves the old one unused.
  const bool value = before.Value != after.Value;
  const int fields = (op ? 1 : 0) + (dest ? 1 : 0) + (src ? 1 : 0);
  if (fields > 1) return TChange::Several;
  if (op) return value ? TChange::Several : TChange::Operation;
  if (dest) return value ? TChange::Several : TChange::Destination;
  if (src) return value && after.Src != ConstantOperand ? TChange::Several : TChange::Source;
  if (value) return after.Src == ConstantOperand ? TChange::Constant : TChange::Several;
  return TChange::None;
}

bool Valid(const TInstruction& in, std::int32_t registers) {
  if (in.Op >= OpcodeCount || in.Dest >= registers) return false;
  if (in.Src != ConstantOperand) return in.Src < registers;
  return !IsFunction(in.Op) && std::isfinite(in.Value);
}

std::set<double> ScaledValues() {
  std::set<double> values;
  for (int k = 1; k <= 10; ++k)
    values.insert(k);
  for (int k = 1; k <= 100; ++k)
    values.insert(k / 10.0);
  for (int e = -4; e <= 4; ++e)
    values.insert(std::pow(10.0, e));
  return values;
}

}  // namespace

TEST(PointMutation, ChangesOneThingOfOneLiveInstructionAndKeepsTheProgramValid) {
  const std::set<double> scaled = ScaledValues();
  std::set<TChange> seen;
  std::set<std::int32_t> registerCounts;
  TRandomStream random(17);
  for (const std::int32_t registers : {1, 2, 4}) {
    for (const std::int32_t instructions : {1, 5, 20}) {
      for (int trial = 0; trial < 400; ++trial) {
        TTuringEvaluator parent(instructions, registers);
        parent.RandomizeAll(random);
        TTuringEvaluator child = parent;
        TTuringEvaluator again = parent;
        TRandomStream replay = random;
        MutatePoint(child, random);
        MutatePoint(again, replay);
        ASSERT_EQ(random.Seed(), replay.Seed());

        std::vector<std::int32_t> changed;
        for (std::int32_t i = 0; i < instructions; ++i) {
          const TInstruction a = child.GetInstruction(i);
          const TInstruction b = again.GetInstruction(i);
          ASSERT_TRUE(a.Op == b.Op && a.Dest == b.Dest && a.Src == b.Src && a.Value == b.Value)
              << "the same stream makes the same change";
          if (ChangeOf(parent.GetInstruction(i), a) != TChange::None) changed.push_back(i);
          ASSERT_TRUE(Valid(a, child.RegisterCount())) << i;
        }
        ASSERT_EQ(1u, changed.size()) << registers << " registers, " << instructions;
        const std::int32_t at = changed[0];
        EXPECT_LE(at, parent.ExecEnd()) << "an instruction that runs";
        const TInstruction before = parent.GetInstruction(at);
        const TInstruction after = child.GetInstruction(at);
        const TChange change = ChangeOf(before, after);
        ASSERT_NE(TChange::Several, change);
        seen.insert(change);
        if (change == TChange::Destination) registerCounts.insert(registers);
        if (change == TChange::Constant) {
          // Nudged by at most its size, or drawn anew at a useful scale.
          const bool nudged =
              std::fabs(after.Value - before.Value) <= std::fmax(std::fabs(before.Value), 1.0);
          EXPECT_TRUE(nudged || scaled.contains(after.Value)) << before.Value << " " << after.Value;
        }
        // The end of the run follows a changed destination.
        TTuringEvaluator recounted = child;
        recounted.UpdateExecEnd();
        EXPECT_EQ(recounted.ExecEnd(), child.ExecEnd());
      }
    }
  }
  EXPECT_EQ((std::set<TChange>{TChange::Operation, TChange::Destination, TChange::Source,
                               TChange::Constant}),
            seen);
  EXPECT_FALSE(registerCounts.contains(1)) << "one register has no other destination";
}

TEST(PointMutation, EveryConstantIsChangedAndStaysFinite) {
  // Programs whose every instruction adds a constant: a redraw that hits the same value or a
  // nudge beyond the largest double must still leave a different, finite constant.
  TRandomStream random(5);
  for (const double value :
       {0.0, 1.0, 7.0, 1e-4, 1.7976931348623157e308, -1.7976931348623157e308}) {
    for (int trial = 0; trial < 300; ++trial) {
      TTuringEvaluator program(3, 1);
      for (int i = 0; i < 3; ++i)
        program.SetInstruction(i, {0, opAdd, ConstantOperand, value});
      program.UpdateExecEnd();
      MutatePoint(program, random);
      int changed = 0;
      for (int i = 0; i < 3; ++i) {
        const TInstruction in = program.GetInstruction(i);
        ASSERT_TRUE(Valid(in, 1)) << value;
        if (in.Op != opAdd || in.Src != ConstantOperand || in.Value != value) ++changed;
      }
      EXPECT_EQ(1, changed) << value;
    }
  }
}

TEST(PointMutation, TournamentsPickTheLowerErrorAndTheLowerIndexOnATie) {
  const std::vector<double> errors{5, 1, 3, 1, 8};
  TRandomStream random(3);
  // Two hundred rivals meet the lowest error, and of the two lowest the first wins.
  for (int i = 0; i < 50; ++i)
    EXPECT_EQ(1, Tournament(errors, 200, random));
  std::vector<int> wins(errors.size());
  for (int i = 0; i < 5000; ++i) {
    TRandomStream drawn = random;
    const std::int32_t a = drawn.Int(5);
    const std::int32_t b = drawn.Int(5);
    const std::int32_t winner = Tournament(errors, 2, random);
    ASSERT_EQ(drawn.Seed(), random.Seed()) << "one draw for each entrant";
    ASSERT_TRUE(winner == a || winner == b);
    ASSERT_EQ(std::min(errors[a], errors[b]), errors[winner]);
    if (errors[a] == errors[b]) {
      ASSERT_EQ(std::min(a, b), winner);
    }
    ++wins[winner];
  }
  // The worst wins only against itself (1 in 25); the first of the tied pair wins whenever
  // drawn (9 in 25), the second only without it (7 in 25).
  EXPECT_LT(wins[4], 300);
  EXPECT_GT(wins[1], wins[3]);
  // A tournament of one is a plain draw.
  std::vector<int> single(errors.size());
  for (int i = 0; i < 500; ++i)
    ++single[Tournament(errors, 1, random)];
  EXPECT_GT(*std::min_element(single.begin(), single.end()), 50);
}
