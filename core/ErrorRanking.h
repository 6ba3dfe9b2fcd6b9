#pragma once
// TErrorRanking: the population's ranking by ascending error. Its order among equal
// errors decides which programs are bred, so it must be exactly the order of the exchange
// sort: for each i, every later j whose error is strictly below the one at i is exchanged
// with i. At a given i the exchanges follow the chain of successive strictly smaller
// errors after i; a tree of minima finds each link in logarithmic time instead of a scan.

#include <cstdint>
#include <vector>

class TErrorRanking {
 public:
  // Sorts errors[0 .. count - 1] and applies every exchange to order as well.
  void Sort(double* errors, std::int32_t* order, std::int32_t count);

  // The plain exchange sort, the reference for Sort.
  static void ExchangeSort(double* errors, std::int32_t* order, std::int32_t count) noexcept;

 private:
  void Build(const double* errors, std::int32_t count);
  void Update(std::int32_t position, double error) noexcept;
  // The first position from `from` on whose error is strictly below `error`, or -1.
  [[nodiscard]] std::int32_t FirstBelow(std::int32_t from, double error) const noexcept;

  std::vector<double> minima_;  // heap order; leaves from leaves_ on
  std::int32_t leaves_ = 0;
  std::int32_t count_ = 0;
};
