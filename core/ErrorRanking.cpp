#include "ErrorRanking.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>
#include <vector>

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

// Input positions by error, each class of equal errors in input order: a stable LSD radix
// sort by bytes, without the mispredicted comparisons of a comparison sort. Bytes that all
// keys share are skipped.
void SortByError(const double* errors, std::int32_t count, std::vector<TKeyed>& keyed) {
  // Small populations: a comparison sort on (key, position) costs less than eight passes.
  if (count < RadixCount) {
    for (std::int32_t i = 0; i < count; ++i)
      keyed[i] = {OrderKey(errors[i]), i};
    std::sort(keyed.begin(), keyed.begin() + count, [](const TKeyed& a, const TKeyed& b) {
      return a.Key < b.Key || (a.Key == b.Key && a.Position < b.Position);
    });
    return;
  }
  constexpr int Bytes = 8;
  std::vector<std::int32_t> histogram(Bytes * 256, 0);
  for (std::int32_t i = 0; i < count; ++i) {
    keyed[i] = {OrderKey(errors[i]), i};
    for (int b = 0; b < Bytes; ++b)
      ++histogram[b * 256 + ((keyed[i].Key >> (8 * b)) & 255)];
  }
  std::vector<TKeyed> other(keyed.size());
  for (int b = 0; b < Bytes; ++b) {
    std::int32_t* bucket = histogram.data() + b * 256;
    if (bucket[(keyed[0].Key >> (8 * b)) & 255] == count) continue;
    std::int32_t sum = 0;
    for (int d = 0; d < 256; ++d)
      sum += std::exchange(bucket[d], sum);
    for (const TKeyed& k : keyed)
      other[bucket[(k.Key >> (8 * b)) & 255]++] = k;
    keyed.swap(other);
  }
}

}  // namespace

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

void TErrorRanking::Sort(double* errors, std::int32_t* order, std::int32_t count) {
  if (count < 2) return;
  // NaN breaks the ordering the classes rely on; it never comes from scoring.
  if (std::any_of(errors, errors + count, [](double e) { return std::isnan(e); })) {
    ExchangeSort(errors, order, count);
    return;
  }
  const auto n = static_cast<std::size_t>(count);
  std::vector<TKeyed> keyed(n);
  SortByError(errors, count, keyed);

  std::vector<std::int32_t> placed(n);  // the input position that ends at each slot
  std::vector<std::int32_t> members;    // the class's input positions, ascending
  std::vector<std::int32_t> gaps;       // c_j, smaller errors after member j
  TFlagTree smaller;                    // input positions of errors below the class
  TFlagTree slots;                      // the class's final slots not yet taken
  smaller.Clear(count);
  // Past the last class of several errors nobody asks the tree.
  std::int32_t lastTie = -1;
  for (std::int32_t j = 1; j < count; ++j) {
    if (keyed[j].Key == keyed[j - 1].Key) lastTie = j;
  }
  for (std::int32_t start = 0, end = 0; start < count; start = end) {
    const std::uint64_t key = keyed[start].Key;
    for (end = start + 1; end < count && keyed[end].Key == key;)
      ++end;
    members.clear();
    for (std::int32_t j = start; j < end; ++j)
      members.push_back(keyed[j].Position);
    const std::int32_t size = end - start;
    if (size == 1) {
      placed[start] = members[0];
    } else {
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
        const std::int32_t last = offset == 0 ? k - 1 : offset - 1;
        placed[start + slots.TakeNth(last)] = members[k - 1];
        if (k > 1) offset = (last + (k - 1) - gaps[k - 2] % (k - 1)) % (k - 1);
      }
    }
    if (end > lastTie) continue;
    for (std::int32_t j = 0; j < size; ++j)
      smaller.Set(members[j]);
  }

  const std::vector<double> values(errors, errors + count);
  const std::vector<std::int32_t> ids(order, order + count);
  for (std::size_t slot = 0; slot < n; ++slot) {
    errors[slot] = values[placed[slot]];
    order[slot] = ids[placed[slot]];
  }
}
