#include "core/scoring/ErrorRanking.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>
#include <vector>

#include "core/scoring/WorkerPool.h"

namespace {

// Fenwick tree over 0/1 flags at positions 0 .. size - 1.
class TFlagTree {
 public:
  void Clear(std::int32_t size) { tree_.assign(static_cast<std::size_t>(size) + 1, 0); }

  // Every flag set: node i covers lowbit(i) positions.
  void Fill(std::int32_t size) {
    tree_.resize(static_cast<std::size_t>(size) + 1);
    for (std::int32_t i = 1; i <= size; ++i)
      tree_[i] = i & -i;
  }

  // The flags of the given positions set, in linear time.
  template <typename Positions>
  void Build(std::int32_t size, Positions positions) {
    tree_.assign(static_cast<std::size_t>(size) + 1, 0);
    positions([this](std::int32_t position) { tree_[position + 1] = 1; });
    for (std::int32_t i = 1; i <= size; ++i) {
      const std::int32_t parent = i + (i & -i);
      if (parent <= size) tree_[parent] += tree_[i];
    }
  }

  void Set(std::int32_t position) {
    const auto size = static_cast<std::int32_t>(tree_.size()) - 1;
    for (std::int32_t i = position + 1; i <= size; i += i & -i)
      ++tree_[i];
  }

  // The number of flags set below position.
  std::int32_t CountBelow(std::int32_t position) const {
    std::int32_t sum = 0;
    for (std::int32_t i = position; i > 0; i -= i & -i)
      sum += tree_[i];
    return sum;
  }

  // Clears the nth (from 0) set flag and returns its position. The descent passes exactly
  // the nodes that cover the position whenever it does not step right.
  std::int32_t TakeNth(std::int32_t nth) {
    const auto size = static_cast<std::uint32_t>(tree_.size() - 1);
    std::uint32_t position = 0;
    for (std::uint32_t step = std::bit_floor(size); step != 0; step >>= 1) {
      const std::uint32_t node = position + step;
      if (node > size) continue;
      if (tree_[node] <= nth) {
        position = node;
        nth -= tree_[node];
      } else {
        --tree_[node];
      }
    }
    return static_cast<std::int32_t>(position);
  }

 private:
  std::vector<std::int32_t> tree_;
};

// An error and its input position. Key orders as the error does, -0.0 equal to 0.0.
struct TKeyed {
  std::uint64_t Key;
  std::int32_t Position;
};

std::uint64_t OrderKey(double error) {
  const auto bits = std::bit_cast<std::uint64_t>(error == 0 ? 0.0 : error);
  constexpr std::uint64_t sign = std::uint64_t{1} << 63;
  return bits & sign ? ~bits : bits | sign;
}

// From this many errors on, the radix sort is the faster.
constexpr std::int32_t RadixCount = 4096;
// From this many errors on, two threads share the ranking.
constexpr std::int32_t ParallelCount = 2000;

// keys[0 .. count - 1] (each error's key and input position) by error, each class of equal
// errors in input order.
void SortKeys(TKeyed* keys, std::int32_t count, std::vector<TKeyed>& scratch) {
  // Small populations: a comparison sort on (key, position) costs less than eight passes.
  if (count < RadixCount) {
    std::sort(keys, keys + count, [](const TKeyed& a, const TKeyed& b) {
      return a.Key < b.Key || (a.Key == b.Key && a.Position < b.Position);
    });
    return;
  }
  // A stable LSD radix sort by bytes, without the mispredicted comparisons of a comparison
  // sort; bytes that all keys share are skipped.
  constexpr int Bytes = 8;
  std::vector<std::int32_t> histogram(Bytes * 256, 0);
  for (std::int32_t i = 0; i < count; ++i) {
    for (int b = 0; b < Bytes; ++b)
      ++histogram[b * 256 + ((keys[i].Key >> (8 * b)) & 255)];
  }
  scratch.resize(static_cast<std::size_t>(count));
  TKeyed* from = keys;
  TKeyed* to = scratch.data();
  for (int b = 0; b < Bytes; ++b) {
    std::int32_t* bucket = histogram.data() + b * 256;
    if (bucket[(from[0].Key >> (8 * b)) & 255] == count) continue;
    std::int32_t sum = 0;
    for (int d = 0; d < 256; ++d)
      sum += std::exchange(bucket[d], sum);
    for (std::int32_t i = 0; i < count; ++i)
      to[bucket[(from[i].Key >> (8 * b)) & 255]++] = from[i];
    std::swap(from, to);
  }
  if (from != keys) std::copy(from, from + count, keys);
}

// Input positions first .. last - 1 with their keys, sorted.
void SortPositions(const double* errors, std::int32_t first, std::int32_t last, TKeyed* keys,
                   std::vector<TKeyed>& scratch) {
  for (std::int32_t i = first; i < last; ++i)
    keys[i - first] = {OrderKey(errors[i]), i};
  SortKeys(keys, last - first, scratch);
}

// The final slot of every error in keyed[first .. last), whole classes, into placed; smaller
// holds the input positions of every error below them.
void PlaceClasses(const std::vector<TKeyed>& keyed, std::int32_t first, std::int32_t last,
                  TFlagTree& smaller, std::int32_t* placed) {
  std::vector<std::int32_t> members;  // the class's input positions, ascending
  std::vector<std::int32_t> gaps;     // c_j, smaller errors after member j
  TFlagTree slots;                    // the class's final slots not yet taken
  // Past the last class of several errors nobody asks the tree.
  std::int32_t lastTie = -1;
  for (std::int32_t j = first + 1; j < last; ++j) {
    if (keyed[j].Key == keyed[j - 1].Key) lastTie = j;
  }
  for (std::int32_t start = first, end = first; start < last; start = end) {
    const std::uint64_t key = keyed[start].Key;
    for (end = start + 1; end < last && keyed[end].Key == key;)
      ++end;
    const std::int32_t size = end - start;
    if (size == 1) {
      placed[start] = keyed[start].Position;
      if (end <= lastTie) smaller.Set(keyed[start].Position);
      continue;
    }
    members.clear();
    for (std::int32_t j = start; j < end; ++j)
      members.push_back(keyed[j].Position);
    gaps.resize(static_cast<std::size_t>(size));
    std::int32_t before = smaller.CountBelow(members[0]);
    for (std::int32_t j = 1; j < size; ++j) {
      const std::int32_t next = smaller.CountBelow(members[j]);
      gaps[j - 1] = next - before;
      before = next;
    }
    gaps[size - 1] = start - before;  // start counts every smaller error
    // Backwards: D_k[s] is the ((s + offset) mod k)th free slot; its last element is e_k.
    slots.Fill(size);
    std::int32_t offset = (size - gaps[size - 1] % size) % size;
    for (std::int32_t k = size; k > 0; --k) {
      const std::int32_t lastFree = offset == 0 ? k - 1 : offset - 1;
      placed[start + slots.TakeNth(lastFree)] = members[k - 1];
      if (k > 1) offset = (lastFree + (k - 1) - gaps[k - 2] % (k - 1)) % (k - 1);
    }
    if (end > lastTie) continue;
    for (std::int32_t j = 0; j < size; ++j)
      smaller.Set(members[j]);
  }
}

// The median of a few keys spread over the input: the two threads' shares are about even
// unless one class of equal errors is most of the input.
std::uint64_t PivotKey(const double* errors, std::int32_t count) {
  constexpr std::int32_t Samples = 63;
  std::uint64_t keys[Samples];
  for (std::int32_t s = 0; s < Samples; ++s) {
    keys[s] = OrderKey(errors[static_cast<std::int64_t>(count) * (2 * s + 1) / (2 * Samples)]);
  }
  std::nth_element(keys, keys + Samples / 2, keys + Samples);
  return keys[Samples / 2];
}

}  // namespace

std::uint64_t TErrorRanking::PeakBytes(std::int32_t count) noexcept {
  const auto n = static_cast<std::uint64_t>(std::max(count, 0));
  // The keys and the slots stay; beside them either the radix sort's scratch or the
  // merge's buffer (a key each), the counting trees and a class's lists, or the copies of
  // errors and order.
  constexpr std::uint64_t Histograms = 2 * 8 * 256 * sizeof(std::int32_t);
  return n * (sizeof(TKeyed) + sizeof(std::int32_t) + sizeof(TKeyed)) + Histograms;
}

void TErrorRanking::ExchangeSort(double* errors, std::int32_t* order, std::int32_t count) noexcept {
  for (std::int32_t i = 0; i + 1 < count; ++i) {
    for (std::int32_t j = i + 1; j < count; ++j) {
      if (errors[j] < errors[i]) {
        std::swap(errors[i], errors[j]);
        std::swap(order[i], order[j]);
      }
    }
  }
}

void TErrorRanking::Sort(double* errors, std::int32_t* order, std::int32_t count,
                         TWorkerPool* pool) {
  if (count < 2) return;
  // NaN breaks the ordering the classes rely on; it never comes from scoring.
  if (std::any_of(errors, errors + count, [](double e) { return std::isnan(e); })) {
    ExchangeSort(errors, order, count);
    return;
  }
  const auto n = static_cast<std::size_t>(count);
  std::vector<TKeyed> keyed(n);
  std::vector<std::int32_t> placed(n);  // the input position that ends at each slot
  if (!pool || pool->Size() < 2 || count < ParallelCount) {
    std::vector<TKeyed> scratch;
    SortPositions(errors, 0, count, keyed.data(), scratch);
    TFlagTree smaller;
    smaller.Clear(count);
    PlaceClasses(keyed, 0, count, smaller, placed.data());
  } else {
    // Two threads split the errors at a pivot: the first ranks those below it into the first
    // slots, the second the rest into the last slots, starting from a tree of the positions
    // below the pivot. Whole classes fall on one side, so neither waits for the other.
    const std::uint64_t pivot = PivotKey(errors, count);
    pool->Run([&](std::int32_t worker) {
      std::vector<TKeyed> scratch;
      TFlagTree smaller;
      if (worker == 0) {
        std::int32_t below = 0;
        for (std::int32_t i = 0; i < count; ++i) {
          const std::uint64_t key = OrderKey(errors[i]);
          if (key < pivot) keyed[below++] = {key, i};
        }
        SortKeys(keyed.data(), below, scratch);
        smaller.Clear(count);
        PlaceClasses(keyed, 0, below, smaller, placed.data());
      } else if (worker == 1) {
        // From the back, so that the keys fill the last slots in input order in one pass.
        std::int32_t below = count;
        smaller.Build(count, [&](auto set) {
          for (std::int32_t i = count - 1; i >= 0; --i) {
            const std::uint64_t key = OrderKey(errors[i]);
            if (key < pivot) {
              set(i);
            } else {
              keyed[--below] = {key, i};
            }
          }
        });
        SortKeys(keyed.data() + below, count - below, scratch);
        PlaceClasses(keyed, below, count, smaller, placed.data());
      }
    });
  }
  const std::vector<double> values(errors, errors + count);
  const std::vector<std::int32_t> ids(order, order + count);
  for (std::size_t slot = 0; slot < n; ++slot) {
    errors[slot] = values[placed[slot]];
    order[slot] = ids[placed[slot]];
  }
}
