#pragma once
// TErrorRanking: the population's ranking by ascending error. Its order among equal
// errors decides which programs are bred, so it must be exactly the order of the exchange
// sort: for each i, every later j whose error is strictly below the one at i is exchanged
// with i.
//
// The sorted errors are known; only each class of equal errors needs its order. Outer step
// i rotates the element at i along the chain of strictly smaller records of the suffix, and
// elements above a class never change the order of the elements at or below it, so the
// class behaves as the largest value of its own sub-array. There, a step moves one of its
// elements only when the suffix starts with a run of the class: the run's first element
// goes behind the rest of the run and the smaller element after the run leaves. So with
// e_1 .. e_m the class in input order and c_j the number of smaller errors after e_j (and
// before e_j+1), the final order is D with
//   D = (e_1), D = rotate_left(D, c_j) + (e_j+1) for j = 1 .. m - 1, D = rotate_left(D, c_m).
// Sort replays this backwards, taking final slots from a counting tree: O(n log n).

#include <cstdint>

class TWorkerPool;

class TErrorRanking {
 public:
  // Sorts errors[0 .. count - 1] and applies every exchange to order as well. An array
  // holding NaN falls back to the exchange sort itself.
  // With a pool of two threads or more, large arrays are ranked on two of them.
  static void Sort(double* errors, std::int32_t* order, std::int32_t count,
                   TWorkerPool* pool = nullptr);

  // The most memory Sort takes at once for count errors, beside the arrays it is given.
  [[nodiscard]] static std::uint64_t PeakBytes(std::int32_t count) noexcept;

  // The plain exchange sort, the reference for Sort.
  static void ExchangeSort(double* errors, std::int32_t* order, std::int32_t count) noexcept;
};
