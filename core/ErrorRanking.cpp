#include "ErrorRanking.h"

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

namespace {

// One exchange of the sort, seen from the scan: the smaller error is carried on, the
// other stays at the scanned position; on a tie nothing moves.
inline void Exchange(double& carried, std::int32_t& carriedOrder, double& error,
                     std::int32_t& order) noexcept {
  const bool below = error < carried;
  const double stays = below ? carried : error;
  const std::int32_t staysOrder = below ? carriedOrder : order;
  carriedOrder = below ? order : carriedOrder;
  carried = below ? error : carried;
  error = stays;
  order = staysOrder;
}

}  // namespace

void TErrorRanking::Sort(double* errors, std::int32_t* order, std::int32_t count) noexcept {
  for (std::int32_t i = 0; i + 1 < count; ++i) {
    double carried = errors[i];
    std::int32_t carriedOrder = order[i];
    for (std::int32_t j = i + 1; j < count; ++j)
      Exchange(carried, carriedOrder, errors[j], order[j]);
    errors[i] = carried;
    order[i] = carriedOrder;
  }
}
