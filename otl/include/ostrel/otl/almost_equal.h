#pragma once

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace ostrel::core {

/// Tolerant float equality shared by the tracked-state and point comparisons.
/// True when `a` == `b`; otherwise, with d = |a − b|, when d ≤ FLT_EPSILON
/// (an absolute bound for values near zero) or d ≤ max(a, b) × FLT_EPSILON.
/// The maximum is of the signed values, so the relative bound only widens the
/// tolerance for positive pairs. A NaN equals nothing, itself included, and
/// an infinity equals only the same infinity: a bound of ∞ × FLT_EPSILON
/// would otherwise make +∞ equal to every finite value and to −∞.
inline bool almostEqual(float a, float b) {
  if (a == b) {
    return true;
  }
  if (std::isinf(a) || std::isinf(b)) {
    return false;
  }
  float const difference = std::fabs(a - b);
  // A NaN fails both comparisons.
  return difference <= FLT_EPSILON || difference <= std::max(a, b) * FLT_EPSILON;
}

}  // namespace ostrel::core
