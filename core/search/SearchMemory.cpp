#include "core/search/SearchMemory.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <thread>
#include <vector>

#include "core/model/DecimalSeparator.h"
#include "core/scoring/ErrorRanking.h"
#include "core/scoring/FastScorer.h"
#include "core/scoring/ScoreMemo.h"
#include "core/model/TE.h"

namespace {

// What the allocator adds to every block: its header and the rounding to 16 bytes.
constexpr std::uint64_t BlockOverhead = 16;
// Characters of the model's source text per instruction, generously.
constexpr std::uint64_t SourceBytesPerInstruction = 64;

std::string Count(std::int64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "A search of population 100 with 5 instructions and 1 register on 2 threads"
std::string Describe(const TSearchShape& shape, std::int32_t threads, std::int32_t searches) {
  std::string text =
      searches == 1 ? std::string("A search") : std::to_string(searches) + " searches side by side";
  text += " of population " + std::to_string(shape.PopulationSize) + " with " +
          Count(shape.InstructionCount, "instruction", "instructions") + " and " +
          Count(shape.RegisterCount, "register", "registers") + " on " +
          Count(threads, "thread", "threads");
  if (searches != 1) text += " each";
  return text;
}

std::uint64_t Needed(const TSearchShape& shape, std::int32_t threads, std::int32_t searches) {
  return SearchMemoryBytes(shape, threads) * static_cast<std::uint64_t>(std::max(searches, 1));
}

}  // namespace

std::int32_t ScoringThreads(std::int32_t requested) noexcept {
  if (requested <= 0) requested = static_cast<std::int32_t>(std::thread::hardware_concurrency());
  return std::max(requested, 1);
}

std::uint64_t SearchMemoryBytes(const TSearchShape& shape, std::int32_t threads) noexcept {
  const auto population = static_cast<std::uint64_t>(std::max(shape.PopulationSize, 0));
  const auto instructions = static_cast<std::uint64_t>(std::max(shape.InstructionCount, 0));
  const auto samples = static_cast<std::uint64_t>(std::max(shape.SampleCount, 0));
  const auto scorers = static_cast<std::uint64_t>(std::max(threads, 1));

  const std::uint64_t program = sizeof(TTuringEvaluator) + BlockOverhead +
                                instructions * sizeof(TInstruction) + BlockOverhead;
  // Two owning pointers (the population and its ranked order), an error and an index.
  const std::uint64_t bookkeeping =
      2 * sizeof(std::unique_ptr<TTuringEvaluator>) + sizeof(double) + sizeof(std::int32_t);
  const std::uint64_t programs = population * (program + bookkeeping);
  const std::uint64_t ranking = TErrorRanking::PeakBytes(shape.PopulationSize);
  // A memo remembers at most every program once; a residual program has at most three
  // steps per instruction and a few more. A scorer with linear scaling keeps a prediction
  // per sample.
  const std::uint64_t perThread =
      TFastScorer::PeakBytes(shape.InstructionCount) +
      TScoreMemo::PeakBytes(population, 3 * instructions + MaxRegisters + 3) + sizeof(TScoreMemo) +
      samples * sizeof(double) + BlockOverhead;
  const std::uint64_t shown =
      samples * sizeof(double) + program + instructions * SourceBytesPerInstruction;
  // The weights of the margin's fitness: two per sample.
  const std::uint64_t weights = 2 * (samples * sizeof(double) + BlockOverhead);
  return programs + ranking + scorers * perThread + shown + weights;
}

std::string FormatBytes(std::uint64_t bytes) {
  constexpr const char* Units[] = {"KiB", "MiB", "GiB", "TiB"};
  if (bytes < 1024) return std::to_string(bytes) + " bytes";
  long double value = static_cast<long double>(bytes) / 1024;
  int unit = 0;
  while (value >= 1024 && unit + 1 < static_cast<int>(std::size(Units))) {
    value /= 1024;
    ++unit;
  }
  // Whole numbers from 100 on, one decimal below; to_chars ignores the C locale.
  char text[32];
  const auto end =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, value >= 100 ? 0 : 1)
          .ptr;
  std::string result(text, end);
  if (const auto point = result.find('.'); point != std::string::npos)
    result[point] = DecimalSeparator();
  result += std::string(" ") + Units[unit];
  return result;
}

void CheckSearchMemory(const TSearchShape& shape, std::int32_t threads,
                       const std::optional<TMemoryLimit>& limit, std::int32_t searches) {
  if (!limit) return;
  const std::uint64_t needed = Needed(shape, threads, searches);
  if (needed <= limit->Bytes) return;
  const char* what = limit->Source == TMemoryLimit::Physical
                         ? " this computer has."
                         : " this process may use (its address-space limit).";
  throw TSearchMemoryError(Describe(shape, threads, searches) +
                           (searches == 1 ? " needs" : " need") + " about " + FormatBytes(needed) +
                           " of memory, more than the " + FormatBytes(limit->Bytes) + what);
}

TSearchMemoryError SearchOutOfMemory(const TSearchShape& shape, std::int32_t threads,
                                     std::int32_t searches) {
  return TSearchMemoryError(Describe(shape, threads, searches) + " ran out of memory; " +
                            (searches == 1 ? "it needs" : "they need") + " about " +
                            FormatBytes(Needed(shape, threads, searches)) + ".");
}
