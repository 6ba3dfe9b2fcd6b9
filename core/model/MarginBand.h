#pragma once
// TMarginBand: the values that match a sample's y under the margin. The band reaches Margin
// times the distance from y to the bound of the set's y on each side, so it closes at the
// lowest and the highest y. Everything that tests or bounds a prediction by the margin takes
// the band from here.

struct TMarginBand {
  double Y = 0;
  double MinY = 0;
  double MaxY = 0;
  double Margin = 0;

  // The edges in extended precision, for work that needs them as numbers: a line through the
  // bands, a cheap test in front of Holds.
  [[nodiscard]] long double Low() const noexcept {
    const long double y = Y;
    return y - Margin * (y - MinY);
  }
  [[nodiscard]] long double High() const noexcept {
    const long double y = Y;
    return y + Margin * (MaxY - y);
  }

  // Whether value lies in the band. It compares the share of the distance with the margin
  // rather than value with the edges: a value exactly that share away matches, where the
  // rounded product of an edge may fall a unit to either side of it.
  [[nodiscard]] bool Holds(double value) const noexcept {
    if (value < MinY || value > MaxY) return false;
    if (value == Y) return true;
    const long double v = value;
    const long double y = Y;
    if (value > Y) return (v - y) / (MaxY - y) <= Margin;
    return (v - MinY) / (y - MinY) >= Complement();
  }
  // 1 - Margin as a double, the least share of the distance to the lowest y below the sample.
  [[nodiscard]] double Complement() const noexcept { return 1 - Margin; }
};
