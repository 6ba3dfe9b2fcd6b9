#include "core/search/SampleSplit.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "core/model/Random.h"

namespace {

// Salt of the split's stream, mixed with the run's seed.
constexpr std::uint32_t SplitSalt = 0x484f4c44u;

void Append(TSampleData& part, const TSampleData& samples, std::int32_t row, std::int32_t& next) {
  for (std::int32_t k = 0; k < samples.InputCount(); ++k)
    part.SetX(next, k, samples.GetX(row, k));
  part.SetY(next, samples.GetY(row));
  ++next;
}

}  // namespace

TSampleSplit SplitSamples(const TSampleData& samples, std::int32_t percent, std::uint32_t seed) {
  const std::int32_t count = samples.Count();
  const auto heldOutCount = static_cast<std::int32_t>(static_cast<std::int64_t>(count) *
                                                      std::clamp(percent, 0, 100) / 100);
  // The first heldOutCount places of a partial Fisher-Yates shuffle are the rows held out.
  std::vector<std::int32_t> order(static_cast<std::size_t>(count));
  std::iota(order.begin(), order.end(), 0);
  TRandomStream random(MixSeed(seed, SplitSalt));
  for (std::int32_t i = 0; i < heldOutCount; ++i) {
    const std::int32_t j = i + random.Int(count - i);
    std::swap(order[static_cast<std::size_t>(i)], order[static_cast<std::size_t>(j)]);
  }
  std::vector<bool> heldOut(static_cast<std::size_t>(count), false);
  for (std::int32_t i = 0; i < heldOutCount; ++i)
    heldOut[static_cast<std::size_t>(order[static_cast<std::size_t>(i)])] = true;

  const std::int32_t inputs = samples.InputCount();
  TSampleSplit split{TSampleData(count - heldOutCount, inputs), TSampleData(heldOutCount, inputs)};
  std::int32_t searched = 0;
  std::int32_t held = 0;
  for (std::int32_t row = 0; row < count; ++row) {
    if (heldOut[static_cast<std::size_t>(row)]) {
      Append(split.HeldOut, samples, row, held);
    } else {
      Append(split.Searched, samples, row, searched);
    }
  }
  // Each part's bounds are its own, as those of a set read from a file of its rows.
  for (TSampleData* part : {&split.Searched, &split.HeldOut}) {
    part->UpdateBounds();
    part->SetMargin(samples.GetMargin());
    part->SetNames(samples.Names());
  }
  return split;
}
