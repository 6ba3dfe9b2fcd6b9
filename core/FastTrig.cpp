#include "FastTrig.h"

#include <bit>
#include <cmath>
#include <cstdint>

// Error analysis, in units of u = 2^-64 (half an ulp of long double, relative):
//
// Reduction. k = nearest integer to x*2/pi, r = ((x - k*P1) - k*P2) - k*P3 with P1 and P2 the
// first two 32-bit pieces of pi/2 and P3 the next 64 bits. For |x| < 2^32, |k| < 2^32, so
// k*P1 and k*P2 are exact; x - k*P1 is a multiple of min(ulp(x), 2^-31) below 2 in magnitude,
// hence exact. The two roundings and that of k*P3 give |r - (x - k*(P1+P2+P3))| <= 2.01u|r| +
// 2.01u|k*P3|, and |pi/2 - P1 - P2 - P3| < 2^-134.9; with |P3| < 2^-68.7 the reduced argument
// has relative error eps <= 2.01u + |k|*2^-131/|r| (eps = 0 for k = 0, where r = x).
//
// Kernels. Taylor series to r^19 (sine) and r^20 (cosine), |r| <= 0.786, alternating with
// decreasing terms, so the tail is below the first omitted term (2^-72 relative). A running
// error bound of the Horner evaluation (coefficients rounded, z = r*r rounded) gives at most
// 1.75u (sine) and 3.49u (cosine) relative; the quotient for the tangent adds one rounding:
// 2u, 4u and 8u are used.
//
// Propagation of eps by the mean value theorem: sine 1.12*eps (|r|/|sin r| <= 1.12), cosine
// 0.8*eps (|r tan r| <= 0.8 |cos| bound), tangent and cotangent 2.01*eps (sec^2 <= 2.003,
// 2r/sin 2r <= 1.58).
//
// The library. glibc documents at most 1 ulp for sinl and cosl and 2 for tanl on x86-64; we
// allow 4 ulps of the result (8u relative) and 2^-100 absolute once the argument is reduced.
// 4u more covers the rounding of the bound itself and of a -+ T. If a - T and a + T round to
// the same double, so does every value between, the library's result among them.

namespace {

using Extended = long double;

constexpr Extended U = 0x1p-64L;
constexpr double ReduceLimit = 0x1p32;
constexpr Extended TwoOverPi = 0xa2f9836e4e44152ap-64L;
constexpr Extended P1 = 0x1.921fb544p0L;
constexpr Extended P2 = 0x1.0b4611a6p-34L;
constexpr Extended P3 = 0x98cc51701b839a25p-132L;
constexpr Extended MaxReduced = 0.786L;
constexpr Extended RoundToInteger = 0x1.8p63L;  // ulp 1: adding and removing it rounds

constexpr Extended LibraryError = 8 * U;
constexpr Extended LibraryAbsolute = 0x1p-100L;
constexpr Extended Bookkeeping = 4 * U;

constexpr Extended Inverse(int factorial) noexcept {
  Extended f = 1;
  for (int i = 2; i <= factorial; ++i)
    f *= i;
  return 1 / f;
}

struct TReduced {
  Extended R;    // the reduced argument, |R| <= MaxReduced
  Extended Z;    // R*R
  Extended Eps;  // bound on the relative error of R
  unsigned Quadrant;
  bool Reduced;  // k != 0: the library's result carries an absolute error too
};

bool Reduce(double x, TReduced& out) noexcept {
  if (!(std::fabs(x) < ReduceLimit)) return false;  // NaN too
  const Extended ex = x;
  const Extended k = (ex * TwoOverPi + RoundToInteger) - RoundToInteger;
  if (k == 0) {
    out = {ex, ex * ex, 0, 0, false};
    return std::fabs(ex) <= MaxReduced;
  }
  const Extended r = ((ex - k * P1) - k * P2) - k * P3;
  if (!(std::fabs(r) <= MaxReduced) || r == 0) return false;
  const Extended eps = 2.01L * U + std::fabs(k) * 0x1p-131L / std::fabs(r);
  if (eps > 0x1p-30L) return false;
  out = {r, r * r, eps, static_cast<unsigned>(static_cast<std::int64_t>(k)) & 3u, true};
  return true;
}

Extended SinKernel(Extended r, Extended z) noexcept {
  Extended q = -Inverse(19);
  q = Inverse(17) + z * q;
  q = -Inverse(15) + z * q;
  q = Inverse(13) + z * q;
  q = -Inverse(11) + z * q;
  q = Inverse(9) + z * q;
  q = -Inverse(7) + z * q;
  q = Inverse(5) + z * q;
  q = -Inverse(3) + z * q;
  return r + r * (z * q);
}

Extended CosKernel(Extended z) noexcept {
  Extended q = Inverse(20);
  q = -Inverse(18) + z * q;
  q = Inverse(16) + z * q;
  q = -Inverse(14) + z * q;
  q = Inverse(12) + z * q;
  q = -Inverse(10) + z * q;
  q = Inverse(8) + z * q;
  q = -Inverse(6) + z * q;
  q = Inverse(4) + z * q;
  q = -Inverse(2) + z * q;
  return 1 + z * q;
}

// a approximates the library's value with relative error bound `relative` (the library's own
// included); answer only when the whole interval rounds to one double.
bool Decide(Extended a, Extended relative, bool reduced, double& result) noexcept {
  const Extended bound =
      std::fabs(a) * (relative + Bookkeeping) + (reduced ? LibraryAbsolute : Extended{0});
  const double low = static_cast<double>(a - bound);
  const double high = static_cast<double>(a + bound);
  if (std::bit_cast<std::uint64_t>(low) != std::bit_cast<std::uint64_t>(high)) return false;
  result = low;
  return true;
}

constexpr Extended SinError = 2 * U + LibraryError;
constexpr Extended CosError = 4 * U + LibraryError;
constexpr Extended TanError = 8 * U + LibraryError;

}  // namespace

namespace fasttrig {

bool Sine(double x, double& result) noexcept {
  if (x == 0) {
    result = x;
    return true;
  }
  TReduced t;
  if (!Reduce(x, t)) return false;
  if (t.Quadrant & 1u) {
    const Extended c = CosKernel(t.Z);
    return Decide(t.Quadrant & 2u ? -c : c, CosError + 0.8L * t.Eps, t.Reduced, result);
  }
  const Extended s = SinKernel(t.R, t.Z);
  return Decide(t.Quadrant & 2u ? -s : s, SinError + 1.12L * t.Eps, t.Reduced, result);
}

bool Cosine(double x, double& result) noexcept {
  if (x == 0) {
    result = 1;
    return true;
  }
  TReduced t;
  if (!Reduce(x, t)) return false;
  if (t.Quadrant & 1u) {
    const Extended s = SinKernel(t.R, t.Z);
    return Decide(t.Quadrant & 2u ? s : -s, SinError + 1.12L * t.Eps, t.Reduced, result);
  }
  const Extended c = CosKernel(t.Z);
  return Decide(t.Quadrant & 2u ? -c : c, CosError + 0.8L * t.Eps, t.Reduced, result);
}

bool Tangent(double x, double& result) noexcept {
  if (x == 0) {
    result = x;
    return true;
  }
  TReduced t;
  if (!Reduce(x, t)) return false;
  const Extended s = SinKernel(t.R, t.Z);
  const Extended c = CosKernel(t.Z);
  const Extended a = t.Quadrant & 1u ? -c / s : s / c;
  return Decide(a, TanError + 2.01L * t.Eps, t.Reduced, result);
}

}  // namespace fasttrig
