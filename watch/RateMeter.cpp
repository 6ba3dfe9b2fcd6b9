#include "watch/RateMeter.h"

#include <charconv>
#include <cmath>

#include "core/model/DecimalSeparator.h"

namespace {

std::optional<double> PerSecond(std::int64_t count, std::chrono::milliseconds span) {
  if (span.count() <= 0) return std::nullopt;
  return static_cast<double>(count) * 1000.0 / static_cast<double>(span.count());
}

}  // namespace

void TRateMeter::Start() noexcept {
  *this = TRateMeter();
}

void TRateMeter::Count(std::chrono::milliseconds now) noexcept {
  ++count_;
  if (now > latest_) latest_ = now;
  if (latest_ - windowStart_ >= Window) {
    lastWindowRate_ = PerSecond(count_ - windowCount_, latest_ - windowStart_);
    windowStart_ = latest_;
    windowCount_ = count_;
  }
}

std::optional<double> TRateMeter::Recent() const noexcept {
  if (lastWindowRate_) return lastWindowRate_;
  return PerSecond(count_, latest_);
}

std::optional<double> TRateMeter::Average(std::chrono::milliseconds now) const noexcept {
  return PerSecond(count_, now);
}

std::string FormatRate(std::optional<double> perSecond) {
  if (!perSecond || !std::isfinite(*perSecond) || *perSecond < 0) return {};
  // Three significant figures are plenty for a figure that changes every second.
  const int decimals = *perSecond >= 100 ? 0 : *perSecond >= 10 ? 1 : 2;
  char buffer[400];  // DBL_MAX in fixed notation
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, *perSecond, std::chars_format::fixed, decimals)
          .ptr;
  std::string text(buffer, end);
  if (const auto point = text.find('.'); point != std::string::npos) {
    text[point] = DecimalSeparator();
  }
  return text + "/s";
}
