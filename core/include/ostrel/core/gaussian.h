#pragma once

#include <cstddef>

#include <Eigen/Core>

#include <ostrel/core/export.h>

namespace ostrel {

/// A Gaussian estimate of an `N`-dimensional quantity: its mean and its
/// covariance (column-major, as Eigen stores it). A plain aggregate; the
/// one-dimensional form (heading, heading rate) uses 1×1 matrices.
template <class T, std::size_t N>
struct Gaussian {
  Eigen::Matrix<T, static_cast<int>(N), 1> mean;
  Eigen::Matrix<T, static_cast<int>(N), static_cast<int>(N)> covariance;
};

extern template struct OSTREL_CORE_EXPORT Gaussian<float, 1>;
extern template struct OSTREL_CORE_EXPORT Gaussian<float, 2>;
extern template struct OSTREL_CORE_EXPORT Gaussian<float, 3>;

}  // namespace ostrel
