#pragma once

#include <cstddef>
#include <optional>
#include <type_traits>

#include <ostrel/otl/cloud_errors.h>
#include <ostrel/otl/slice.h>

namespace ostrel::otl {

/// A structure of arrays: one column (`Slice`) per element type, each with an
/// optional secondary slice of the same type that is carried along by copy
/// and move. `SoA<First, Rest...>` adds the column of `First` to
/// `SoA<Rest...>`, so the last element type's column is the innermost.
/// Copies share the columns.
template <class... Elements>
class SoA;

/// The empty column set that ends the chain.
template <>
class SoA<> {
 private:
  template <class...>
  friend class SoA;

  void checkSize(std::size_t /*expected*/) const noexcept {}
};

/// Structure of arrays: one shared column (`Slice`) per element type, in
/// order, each with an optional secondary column of the same type.
template <class First, class... Rest>
class SoA<First, Rest...> : public SoA<Rest...> {
  using Inner = SoA<Rest...>;

 public:
  /// Every column a new, empty vector.
  SoA() = default;

  /// Shares the given columns, one per element type in order; the secondary
  /// slices start absent.
  explicit SoA(Slice<First> first, Slice<Rest>... rest) : Inner(rest...), slice_(first) {}

  /// The column of element type `T`.
  template <class T>
  Slice<T>& slice() noexcept {
    return level<T>().slice_;
  }
  template <class T>
  Slice<T> const& slice() const noexcept {
    return level<T>().slice_;
  }

  /// The secondary slice of element type `T`; absent unless set.
  template <class T>
  std::optional<Slice<T>>& secondary() noexcept {
    return level<T>().secondary_;
  }
  template <class T>
  std::optional<Slice<T>> const& secondary() const noexcept {
    return level<T>().secondary_;
  }

  /// The common element count of the columns.
  /// @throws MismatchedSlices when two columns differ in length.
  std::size_t size() const {
    std::size_t const common = innermostSize();
    checkSize(common);
    return common;
  }

 private:
  template <class...>
  friend class SoA;

  // Throws MismatchedSlices unless this column and every inner one hold
  // `expected` elements.
  void checkSize(std::size_t expected) const {
    if (slice_.data().size() != expected) {
      throw MismatchedSlices();
    }
    Inner::checkSize(expected);
  }

  std::size_t innermostSize() const noexcept {
    if constexpr (sizeof...(Rest) == 0) {
      return slice_.data().size();
    } else {
      return Inner::innermostSize();
    }
  }

  template <class T>
  auto& level() noexcept {
    if constexpr (std::is_same_v<T, First>) {
      return *this;
    } else {
      return Inner::template level<T>();
    }
  }
  template <class T>
  auto const& level() const noexcept {
    if constexpr (std::is_same_v<T, First>) {
      return *this;
    } else {
      return Inner::template level<T>();
    }
  }

  Slice<First> slice_;
  std::optional<Slice<First>> secondary_;
};

}  // namespace ostrel::otl
