#include "core/scoring/FastTrig.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cfloat>
#include <cstdint>
#include <cstring>
#include <utility>

// The analysis below holds for the 80-bit extended format and needs 128-bit integers;
// elsewhere every call goes to the library.
#if LDBL_MANT_DIG == 64 && defined(__SIZEOF_INT128__) && defined(__BYTE_ORDER__) && \
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__

// Error analysis, in units of u = 2^-64 (half an ulp of long double, relative):
//
// Reduction. For |x| < 2^32: k = nearest integer to x*2/pi, r = ((x - k*P1) - k*P2) - k*P3
// with P1 and P2 the first two 32-bit pieces of pi/2 and P3 the next 64 bits. |k| < 2^32, so
// k*P1 and k*P2 are exact; x - k*P1 is a multiple of min(ulp(x), 2^-31) below 2 in magnitude,
// hence exact. The two roundings and that of k*P3 give |r - (x - k*(P1+P2+P3))| <= 2.01u|r| +
// 2.01u|k*P3|, and |pi/2 - P1 - P2 - P3| < 2^-134.9; with |P3| < 2^-68.7 the reduced argument
// has relative error eps <= 2.01u + |k|*2^-131/|r| (eps = 0 for k = 0, where r = x).
// For 2^32 <= |x| < 2^63: x = m*2^e, and m times a 192-bit window of 2/pi (known to 256 bits)
// gives x*2/pi mod 4 exactly but for the window's truncation, below m*2^-190 < 2^-137. The
// fraction f keeps 128 bits (2^-128 more), becomes a long double (u) and is multiplied by pi/2
// rounded (0.64u, then u): eps <= 2.7u + 2^-127/|r|.
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
constexpr double TrigLimit = 0x1p63;
constexpr Extended PiOver2 = 0xc90fdaa22168c235p-63L;  // within 2^-64 of pi/2
constexpr Extended LargeRelative = 2.7L * U;
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

__extension__ typedef unsigned __int128 TWide;

// 2/pi to 256 bits, most significant word first: word w holds 2^-(64w+1) .. 2^-(64w+64).
constexpr std::uint64_t TwoOverPiBits[4] = {0xa2f9836e4e441529, 0xfc2757d1f534ddc0,
                                            0xdb6295993c439041, 0xfe5163abdebbc561};

// The 64 bits of 2/pi from 2^-from down, as an integer; bits above 2^-1 are zero.
std::uint64_t TwoOverPiWindow(int from) noexcept {
  const int start = from + 63;  // >= 0 for every from used
  const int w = start / 64 - 1, b = start % 64;
  const auto word = [](int i) { return i >= 0 && i < 4 ? TwoOverPiBits[i] : std::uint64_t{0}; };
  return b == 0 ? word(w) : (word(w) << b) | (word(w + 1) >> (64 - b));
}

// 2^32 <= |x| < 2^63: x*2/pi mod 4 in 192-bit fixed point from an exact integer product.
bool ReduceLarge(double x, TReduced& out) noexcept {
  int exponent;
  const double mantissa = std::frexp(std::fabs(x), &exponent);
  const auto m = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));  // x = m*2^e
  const int t = exponent - 53 + 190;  // 170..200: (x*2/pi)*2^190 = m * (2/pi)*2^t
  const std::uint64_t c2 = TwoOverPiWindow(t - 191), c1 = TwoOverPiWindow(t - 127),
                      c0 = TwoOverPiWindow(t - 63);
  const TWide p0 = static_cast<TWide>(m) * c0;
  const TWide p1 = static_cast<TWide>(m) * c1 + (p0 >> 64);
  std::uint64_t y[3] = {static_cast<std::uint64_t>(p0), static_cast<std::uint64_t>(p1),
                        m * c2 + static_cast<std::uint64_t>(p1 >> 64)};
  if (x < 0) {  // negate mod 2^192
    unsigned carry = 1;
    for (std::uint64_t& w : y) {
      w = ~w + carry;
      carry = carry && w == 0;
    }
  }
  // y/2^190 = x*2/pi mod 4; the fraction, read as a signed 192-bit value, is in [-1/2, 1/2).
  unsigned quadrant = static_cast<unsigned>(y[2] >> 62);
  std::uint64_t f2 = (y[2] << 2) | (y[1] >> 62), f1 = (y[1] << 2) | (y[0] >> 62);
  const bool negative = (f2 >> 63) != 0;
  if (negative) {
    ++quadrant;
    f1 = ~f1 + 1;
    f2 = ~f2 + (f1 == 0 ? 1 : 0);
  }
  const Extended f = Extended(f2) * 0x1p-64L + Extended(f1) * 0x1p-128L;
  if (f == 0) return false;
  const Extended r = (negative ? -f : f) * PiOver2;
  out = {r, r * r, LargeRelative + 0x1p-127L / std::fabs(r), quadrant & 3u, true};
  return out.Eps <= 0x1p-30L;
}

// The low 64 bits of an extended value: its significand, integer bit included.
std::uint64_t Significand(Extended value) noexcept {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Inline in each function, so the reduced values stay in registers.
inline __attribute__((always_inline)) bool Reduce(double x, TReduced& out) noexcept {
  if (!(std::fabs(x) < ReduceLimit)) return std::fabs(x) < TrigLimit && ReduceLarge(x, out);
  const Extended ex = x;
  // In the sum the unit is the last significand bit, so k's low bits are the sum's.
  const Extended shifted = ex * TwoOverPi + RoundToInteger;
  const Extended k = shifted - RoundToInteger;
  if (k == 0) {
    out = {ex, ex * ex, 0, 0, false};
    return std::fabs(ex) <= MaxReduced;
  }
  const Extended r = ((ex - k * P1) - k * P2) - k * P3;
  if (!(std::fabs(r) <= MaxReduced) || r == 0) return false;
  const Extended eps = 2.01L * U + std::fabs(k) * 0x1p-131L / std::fabs(r);
  if (eps > 0x1p-30L) return false;
  out = {r, r * r, eps, static_cast<unsigned>(Significand(shifted)) & 3u, true};
  return true;
}

// The Taylor coefficients (-1)^(i+1)/(first+2i)!: the factorials up to 21! are exact in
// long double, so each coefficient is rounded once.
template <int Count>
constexpr std::array<Extended, Count> Series(int first) noexcept {
  std::array<Extended, Count> c{};
  for (int i = 0; i < Count; ++i)
    c[i] = (i % 2 == 0 ? -1 : 1) * Inverse(first + 2 * i);
  return c;
}
constexpr auto SinSeries = Series<9>(3);   // to r^19
constexpr auto CosSeries = Series<10>(2);  // to r^20

// Spelled out term by term: a loop here costs more than its arithmetic.
template <std::size_t N, std::size_t... I>
Extended Horner(const std::array<Extended, N>& c, Extended z, std::index_sequence<I...>) noexcept {
  Extended q = c[N - 1];
  ((q = c[N - 2 - I] + z * q), ...);
  return q;
}

template <std::size_t N>
Extended Horner(const std::array<Extended, N>& c, Extended z) noexcept {
  return Horner(c, z, std::make_index_sequence<N - 1>{});
}

Extended SinKernel(Extended r, Extended z) noexcept {
  return r + r * (z * Horner(SinSeries, z));
}

Extended CosKernel(Extended z) noexcept {
  return 1 + z * Horner(CosSeries, z);
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

#else

namespace fasttrig {

bool Sine(double, double&) noexcept {
  return false;
}
bool Cosine(double, double&) noexcept {
  return false;
}
bool Tangent(double, double&) noexcept {
  return false;
}

}  // namespace fasttrig

#endif
