#include "ErrorRanking.h"

#include <cmath>
#include <limits>
#include <utility>

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

// Nothing is below a NaN and a NaN is below nothing, exactly like +infinity in the tree.
[[nodiscard]] inline double Key(double error) noexcept {
  return std::isnan(error) ? Infinity : error;
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

void TErrorRanking::Build(const double* errors, std::int32_t count) {
  count_ = count;
  leaves_ = 1;
  while (leaves_ < count)
    leaves_ *= 2;
  minima_.assign(2 * static_cast<std::size_t>(leaves_), Infinity);
  for (std::int32_t i = 0; i < count; ++i)
    minima_[leaves_ + i] = Key(errors[i]);
  for (std::int32_t node = leaves_ - 1; node >= 1; --node) {
    minima_[node] = std::min(minima_[2 * node], minima_[2 * node + 1]);
  }
}

void TErrorRanking::Update(std::int32_t position, double error) noexcept {
  std::int32_t node = leaves_ + position;
  minima_[node] = Key(error);
  for (node /= 2; node >= 1; node /= 2) {
    minima_[node] = std::min(minima_[2 * node], minima_[2 * node + 1]);
  }
}

std::int32_t TErrorRanking::FirstBelow(std::int32_t from, double error) const noexcept {
  if (from >= count_) return -1;
  std::int32_t node = leaves_ + from;
  if (minima_[node] < error) return from;
  // Up while the subtrees to the right hold nothing below; every subtree looked at lies
  // wholly right of `from`.
  for (;;) {
    while (node & 1) {
      node >>= 1;
      if (node == 0) return -1;
    }
    ++node;
    if (minima_[node] < error) break;
  }
  while (node < leaves_) {
    node *= 2;
    if (!(minima_[node] < error)) ++node;
  }
  return node - leaves_;
}

void TErrorRanking::Sort(double* errors, std::int32_t* order, std::int32_t count) {
  if (count < 2) return;
  Build(errors, count);
  // Position i itself is never looked at again once the scan has passed it, so its leaf
  // may keep a stale error.
  for (std::int32_t i = 0; i + 1 < count; ++i) {
    for (std::int32_t j = FirstBelow(i + 1, errors[i]); j >= 0; j = FirstBelow(j + 1, errors[i])) {
      std::swap(errors[i], errors[j]);
      std::swap(order[i], order[j]);
      Update(j, errors[j]);
    }
  }
}
