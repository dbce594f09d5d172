#include <ostrel/otl/almost_equal.h>

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <ostream>

namespace {

using ostrel::core::almostEqual;

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float Inf = std::numeric_limits<float>::infinity();

struct FloatPair {
  char const* name;
  float a;
  float b;
  bool equal;
};

std::ostream& operator<<(std::ostream& out, FloatPair const& pair) {
  return out << pair.name << " (" << pair.a << ", " << pair.b << ")";
}

class AlmostEqualTest : public ::testing::TestWithParam<FloatPair> {};

TEST_P(AlmostEqualTest, IsSymmetricAndFollowsTheToleranceRule) {
  EXPECT_EQ(almostEqual(GetParam().a, GetParam().b), GetParam().equal);
  EXPECT_EQ(almostEqual(GetParam().b, GetParam().a), GetParam().equal);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, AlmostEqualTest,
    ::testing::Values(
        FloatPair{"identical", 2.5f, 2.5f, true}, FloatPair{"signed zeros", 0.0f, -0.0f, true},
        FloatPair{"absolute near zero", 0.0f, 1e-8f, true},
        FloatPair{"absolute at the bound", 0.0f, FLT_EPSILON, true},
        FloatPair{"absolute beyond the bound", 0.0f, 2.0f * FLT_EPSILON, false},
        // 100.00001f is 100 + 2^-17; the relative bound is 100 * 2^-23.
        FloatPair{"relative", 100.0f, 100.00001f, true},
        FloatPair{"relative beyond the bound", 100.0f, 100.01f, false},
        // The relative bound takes the signed maximum, negative here.
        FloatPair{"negative pair gets no relative bound", -100.0f, -100.00001f, false},
        FloatPair{"NaN with itself", NaN, NaN, false},
        FloatPair{"NaN with a number", NaN, 1.0f, false},
        FloatPair{"same infinity", Inf, Inf, true},
        FloatPair{"same negative infinity", -Inf, -Inf, true},
        FloatPair{"infinity with a finite value", Inf, 1.0f, false},
        FloatPair{"infinity with the largest float", Inf, FLT_MAX, false},
        FloatPair{"negative infinity with a finite value", -Inf, -1.0f, false},
        FloatPair{"opposite infinities", Inf, -Inf, false},
        FloatPair{"opposite extremes overflow the difference", FLT_MAX, -FLT_MAX, false}));

}  // namespace
