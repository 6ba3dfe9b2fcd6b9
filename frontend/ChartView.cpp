#include "frontend/ChartView.h"

#include "frontend/ModelText.h"

std::vector<std::string> ChartViewNames(const TSampleData& samples) {
  if (samples.InputCount() == 1) return {};
  std::vector<std::string> names = ColumnNames(samples);
  names.back() = MeasuredViewName;
  return names;
}

bool IsMeasuredView(const TSampleData& samples, std::int32_t view) noexcept {
  return samples.InputCount() > 1 && view == samples.InputCount();
}

std::int32_t ValidView(const TSampleData& samples, std::int32_t view) noexcept {
  const std::int32_t views = samples.InputCount() == 1 ? 1 : samples.InputCount() + 1;
  return view >= 0 && view < views ? view : 0;
}

TAxisTitles ChartAxisTitles(const TSampleData& samples, std::int32_t view) {
  if (samples.InputCount() == 1 && !HasOwnNames(samples)) return {};
  const std::vector<std::string> names = ColumnNames(samples);
  const std::string& y = names.back();
  if (IsMeasuredView(samples, view)) return {"predicted " + y, "measured " + y};
  return {names[static_cast<std::size_t>(ValidView(samples, view))], y};
}
