#pragma once

#include <cstddef>
#include <limits>
#include <utility>

#include <ostrel/otl/cart.h>
#include <ostrel/otl/cloud_errors.h>
#include <ostrel/otl/compound.h>
#include <ostrel/otl/header_fields.h>
#include <ostrel/otl/intensity.h>
#include <ostrel/otl/polar.h>
#include <ostrel/otl/slice.h>
#include <ostrel/otl/soa.h>
#include <ostrel/otl/vector.h>

namespace ostrel::otl {

/// True when `height` × `width` equals `count`; a product that does not fit
/// a `std::size_t` matches nothing.
constexpr bool organisationMatches(Dim<2, false> const& dim, std::size_t count) noexcept {
  if (dim.width != 0 && dim.height > std::numeric_limits<std::size_t>::max() / dim.width) {
    return false;
  }
  return dim.height * dim.width == count;
}

/// A sensor cloud: the columns `Columns<Elements...>` followed by a header
/// compound that starts with the organisation `Dim<2, false>`.
///
/// A cloud is validated when it is made: its columns have one common length
/// and `height` × `width` equals it. Copies share the columns (a change to a
/// column through one copy shows in all of them) and copy the header.
template <class Header, template <class...> class Columns, class... Elements>
class Cloud {
 public:
  using header_type = Header;
  using columns_type = Columns<Elements...>;

  /// An empty cloud of 0 × 0 elements.
  Cloud() = default;

  /// Takes over `header` and shares the columns of `columns`, then validates.
  /// (Sharing gives what a move would, without the fresh empty columns a
  /// moved-from slice receives.)
  /// @throws MismatchedSlices when the columns differ in length.
  /// @throws InvalidOrganized when `height` × `width` differs from the element count.
  Cloud(Header header, columns_type const& columns)
      : columns_(columns), header_(std::move(header)) {
    validate();
  }

  /// Builds the columns from one slice per element type, then validates.
  /// @throws MismatchedSlices when the columns differ in length.
  /// @throws InvalidOrganized when `height` × `width` differs from the element count.
  Cloud(Header header, Slice<Elements>... slices)
      : Cloud(std::move(header), columns_type(slices...)) {}

  /// The column of element type `T`.
  template <class T>
  Slice<T>& slice() noexcept {
    return columns_.template slice<T>();
  }
  template <class T>
  Slice<T> const& slice() const noexcept {
    return columns_.template slice<T>();
  }

  /// All columns.
  columns_type& columns() noexcept { return columns_; }
  columns_type const& columns() const noexcept { return columns_; }

  /// The header.
  Header& header() noexcept { return header_; }
  Header const& header() const noexcept { return header_; }

  /// The common element count of the columns.
  /// @throws MismatchedSlices when the columns differ in length.
  std::size_t size() const { return columns_.size(); }

  /// Number of rows.
  std::size_t height() const noexcept { return dim().height; }

  /// Number of columns of a row.
  std::size_t width() const noexcept { return dim().width; }

  /// True when the cloud has more than one row, as for a PCL cloud.
  bool isOrganized() const noexcept { return dim().height > 1; }

  /// Checks again what construction checked; columns may have grown since.
  /// @throws MismatchedSlices when the columns differ in length.
  /// @throws InvalidOrganized when `height` × `width` differs from the element count.
  void validate() const {
    if (!organisationMatches(dim(), size())) {
      throw InvalidOrganized();
    }
  }

 private:
  Dim<2, false> const& dim() const noexcept { return header_.template get<Dim<2, false>>(); }

  columns_type columns_;
  Header header_;
};

/// The header of a sensor cloud.
using CloudHeader = Compound<Dim<2, false>, SensorID, Sequence, TimeStamp>;

/// The stamp that accompanies a PCL cloud converted to a sensor cloud.
using CloudStamp = Compound<SensorID, Sequence, TimeStamp>;

/// The element types of the sensor clouds.
using CartPoint = Cart<float, Default>;
using PolarPoint = Polar<float, POS_Z, POS_X, Default, 3>;
using IntensityValue = Intensity<float>;

/// Cartesian points with intensities.
using XYZICloud = Cloud<CloudHeader, SoA, CartPoint, IntensityValue>;

/// Polar points with intensities.
using PolarCloud = Cloud<CloudHeader, SoA, PolarPoint, IntensityValue>;

/// Cartesian and polar points with intensities.
using CombinedCloud = Cloud<CloudHeader, SoA, CartPoint, PolarPoint, IntensityValue>;

}  // namespace ostrel::otl
