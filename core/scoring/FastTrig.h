#pragma once
// Sine, cosine and tangent of a double with the exact result the interpreter stores:
// static_cast<double>(std::sin(static_cast<long double>(x))) and likewise, without paying for
// the library's general argument reduction. Each function computes its own extended
// approximation with a proven error bound and answers only when every value within that bound
// and the library's own error rounds to the same double; otherwise it declines and the caller
// asks the library.

namespace fasttrig {

// True, with the double in result, when it is certain; false when the library must decide.
[[nodiscard]] bool Sine(double x, double& result) noexcept;
[[nodiscard]] bool Cosine(double x, double& result) noexcept;
[[nodiscard]] bool Tangent(double x, double& result) noexcept;

}  // namespace fasttrig
