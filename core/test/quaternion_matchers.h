// Quaternion comparisons shared by the pose tests.
#pragma once

#include <Eigen/Geometry>

#include <gtest/gtest.h>

namespace ostrel::test {

/// The coefficients (x, y, z, w) equal within `tolerance`, sign included.
inline ::testing::AssertionResult coefficientsNear(Eigen::Quaternionf const& actual,
                                                   Eigen::Quaternionf const& expected,
                                                   float tolerance = 1e-6f) {
  if (((actual.coeffs() - expected.coeffs()).cwiseAbs().array() <= tolerance).all()) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << actual.coeffs().transpose() << " is not " << expected.coeffs().transpose();
}

}  // namespace ostrel::test
