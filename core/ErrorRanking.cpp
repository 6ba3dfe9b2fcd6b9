#include "ErrorRanking.h"

#include <algorithm>
#include <utility>

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

void TErrorRanking::Sort(double* errors, std::int32_t* order, std::int32_t count) noexcept {
  for (std::int32_t i = 0; i + 1 < count; ++i) {
    // The smaller error is carried on, the other stays at j; on a tie nothing moves.
    double carried = errors[i];
    std::int32_t carriedOrder = order[i];
    for (std::int32_t j = i + 1; j < count; ++j) {
      const double error = errors[j];
      const std::int32_t index = order[j];
      const bool below = error < carried;
      // max(error, carried) is below ? carried : error, min(carried, error) the other.
      errors[j] = std::max(error, carried);
      order[j] = below ? carriedOrder : index;
      carriedOrder = below ? index : carriedOrder;
      carried = std::min(carried, error);
    }
    errors[i] = carried;
    order[i] = carriedOrder;
  }
}
