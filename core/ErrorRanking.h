#pragma once
// TErrorRanking: the population's ranking by ascending error. Its order among equal
// errors decides which programs are bred, so it must be exactly the order of the exchange
// sort: for each i, every later j whose error is strictly below the one at i is exchanged
// with i.
//
// Seen from position i, the exchanges carry the smallest error so far along the scan and
// leave the previous one behind; on real error arrays nearly every comparison exchanges
// (the sort leaves long descending runs behind it), so following the exchanges with a
// search tree costs more than it saves. Sort keeps the carried error in a register and
// works on an index array instead of exchanging the programs themselves.

#include <cstdint>

class TErrorRanking {
 public:
  // Sorts errors[0 .. count - 1] and applies every exchange to order as well.
  static void Sort(double* errors, std::int32_t* order, std::int32_t count) noexcept;

  // The plain exchange sort, the reference for Sort.
  static void ExchangeSort(double* errors, std::int32_t* order, std::int32_t count) noexcept;
};
