#include "core/model/LinearScaling.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/model/Predictions.h"

namespace {

using Extended = long double;

// Halvings enough to close on any long double from the widest bracket.
constexpr std::int32_t Halvings = 256;

// For a line of slope a over the bands: every b in [Low, High] puts each prediction within
// its band. High - Low is concave in a, and Slope is its rate of change, which tells on which
// side of a the widest room lies.
struct TRoom {
  Extended Low = 0;
  Extended High = 0;
  Extended Slope = 0;
  [[nodiscard]] Extended Width() const noexcept { return High - Low; }
  [[nodiscard]] bool Fits() const noexcept { return High >= Low; }
};

class TMarginBands {
 public:
  TMarginBands(std::span<const double> predictions, const TSampleData& samples) noexcept
      : f_(predictions.first(std::min<std::size_t>(predictions.size(), samples.Count()))),
        samples_(samples) {}

  [[nodiscard]] std::size_t Count() const noexcept { return f_.size(); }
  [[nodiscard]] double Prediction(std::size_t i) const noexcept { return f_[i]; }
  // The values sample i accepts.
  [[nodiscard]] Extended Low(std::size_t i) const noexcept {
    return samples_.Band(static_cast<std::int32_t>(i)).Low();
  }
  [[nodiscard]] Extended High(std::size_t i) const noexcept {
    return samples_.Band(static_cast<std::int32_t>(i)).High();
  }

  [[nodiscard]] TRoom RoomAt(Extended a) const noexcept {
    TRoom room{-std::numeric_limits<Extended>::infinity(),
               std::numeric_limits<Extended>::infinity(), 0};
    Extended lowest = 0;
    Extended highest = 0;
    for (std::size_t i = 0; i < f_.size(); ++i) {
      const Extended low = Low(i) - a * f_[i];
      const Extended high = High(i) - a * f_[i];
      if (low > room.Low) {
        room.Low = low;
        lowest = f_[i];
      }
      if (high < room.High) {
        room.High = high;
        highest = f_[i];
      }
    }
    room.Slope = lowest - highest;
    return room;
  }

  // Whether the scaled predictions, as the two instructions compute them, all match.
  [[nodiscard]] bool Hold(const TLinearScaling& line) const noexcept {
    if (line.Scale == 0 || !std::isfinite(line.Scale) || !std::isfinite(line.Offset)) return false;
    for (std::size_t i = 0; i < f_.size(); ++i) {
      if (!samples_.WithinMargin(static_cast<std::int32_t>(i), ApplyLinearScaling(f_[i], line)))
        return false;
    }
    return true;
  }

  // The end of the slopes that fit, between one that fits and one that need not.
  [[nodiscard]] Extended Edge(Extended inside, Extended outside) const noexcept {
    if (RoomAt(outside).Fits()) return outside;
    for (std::int32_t step = 0; step < Halvings; ++step) {
      const Extended middle = inside + (outside - inside) / 2;
      if (middle == inside || middle == outside) break;
      (RoomAt(middle).Fits() ? inside : outside) = middle;
    }
    return inside;
  }

 private:
  std::span<const double> f_;
  const TSampleData& samples_;
};

// value, or the nearest point of [low, high] that keeps a share of its width from either end
// (a share of 2: the middle).
Extended Inside(Extended value, Extended low, Extended high, Extended share) noexcept {
  const Extended clear = (high - low) / share;
  return std::clamp(value, low + clear, high - clear);
}

}  // namespace

std::optional<TLinearScaling> FitMarginLine(std::span<const double> predictions,
                                            const TSampleData& samples) noexcept {
  const TMarginBands bands(predictions, samples);
  if (bands.Count() == 0) return std::nullopt;
  Extended least = bands.Prediction(0);
  Extended most = least;
  Extended lowest = bands.Low(0);
  Extended highest = bands.High(0);
  for (std::size_t i = 0; i < bands.Count(); ++i) {
    if (!std::isfinite(bands.Prediction(i))) return std::nullopt;
    least = std::min<Extended>(least, bands.Prediction(i));
    most = std::max<Extended>(most, bands.Prediction(i));
    lowest = std::min(lowest, bands.Low(i));
    highest = std::max(highest, bands.High(i));
  }
  if (!(most > least)) return std::nullopt;
  // No slope steeper than this keeps the least and the most prediction within the bands.
  const Extended bound = (highest - lowest) / (most - least);
  if (!std::isfinite(bound)) return std::nullopt;
  // The room is concave in the slope: halve towards where it widens until it fits, or until
  // the tangents at both ends of the bracket, which it lies below, meet below zero.
  Extended left = -bound;
  Extended right = bound;
  TRoom leftRoom = bands.RoomAt(left);
  TRoom rightRoom = bands.RoomAt(right);
  std::optional<Extended> fitting;
  if (leftRoom.Fits()) fitting = left;
  if (rightRoom.Fits()) fitting = right;
  for (std::int32_t step = 0; step < Halvings && !fitting; ++step) {
    if (!(leftRoom.Slope > 0 && rightRoom.Slope < 0)) break;
    const Extended meet =
        (rightRoom.Width() - leftRoom.Width() + leftRoom.Slope * left - rightRoom.Slope * right) /
        (leftRoom.Slope - rightRoom.Slope);
    if (leftRoom.Width() + leftRoom.Slope * (meet - left) < 0) break;
    const Extended a = left + (right - left) / 2;
    if (a == left || a == right) break;
    const TRoom room = bands.RoomAt(a);
    if (room.Fits()) {
      fitting = a;
    } else if (room.Slope > 0) {
      left = a;
      leftRoom = room;
    } else if (room.Slope < 0) {
      right = a;
      rightRoom = room;
    } else {
      break;
    }
  }
  if (!fitting) return std::nullopt;
  // Of the lines that fit, the one nearest least squares: its slope, then its offset at that
  // slope, each a 64th of the room inside the edges; where rounding a and b still leaves a
  // band, the middle one.
  const TLeastSquaresLine squares = LeastSquaresLine(
      predictions.first(bands.Count()), [&](std::int32_t j) { return samples.GetY(j); });
  const Extended low = bands.Edge(*fitting, -bound);
  const Extended high = bands.Edge(*fitting, bound);
  for (const Extended share : {Extended{64}, Extended{2}}) {
    const Extended a = Inside(squares.Scale, low, high, share);
    const TRoom room = bands.RoomAt(a);
    const Extended b = Inside(squares.Offset + (squares.Scale - a) * squares.MeanPrediction,
                              room.Low, room.High, share);
    const TLinearScaling line{static_cast<double>(a), static_cast<double>(b)};
    if (bands.Hold(line)) return line;
  }
  return std::nullopt;
}

TLinearScaling FitLinearScaling(std::span<const double> predictions,
                                const TSampleData& samples) noexcept {
  if (predictions.empty()) return {};
  const TLeastSquaresLine line =
      LeastSquaresLine(predictions, [&](std::int32_t j) { return samples.GetY(j); });
  const TLinearScaling fit{static_cast<double>(line.Scale), static_cast<double>(line.Offset)};
  if (!std::isfinite(fit.Scale) || !std::isfinite(fit.Offset)) return {};
  return fit;
}

TTuringEvaluator WithScaling(const TTuringEvaluator& program, const TLinearScaling& scaling) {
  std::int32_t kept = program.ExecEnd() + 1;
  while (kept > 0 && IsComparison(program.GetInstruction(kept - 1).Op))
    --kept;
  TTuringEvaluator scaled(kept + 2, program.RegisterCount(), program.InputCount());
  for (std::int32_t i = 0; i < kept; ++i)
    scaled.SetInstruction(i, program.GetInstruction(i));
  scaled.SetInstruction(kept, {0, opMul, ConstantOperand, scaling.Scale});
  scaled.SetInstruction(kept + 1, {0, opAdd, ConstantOperand, scaling.Offset});
  scaled.UpdateExecEnd();
  return scaled;
}

TTuringEvaluator WithLinearScaling(const TTuringEvaluator& program, const TSampleData& samples,
                                   std::int32_t last) {
  return WithScaling(program,
                     FitLinearScaling(ModelPredictions(program, samples, last + 1), samples));
}

std::optional<TTuringEvaluator> WithMarginLine(const TTuringEvaluator& program,
                                               const TSampleData& samples) {
  const std::optional<TLinearScaling> line =
      FitMarginLine(ModelPredictions(program, samples), samples);
  // FitMarginLine has tested the scaled predictions as the two instructions compute them.
  if (!line) return std::nullopt;
  return WithScaling(program, *line);
}
