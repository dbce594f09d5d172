#pragma once

#include <tuple>
#include <type_traits>
#include <utility>

namespace ostrel::otl {

/// A record holding one value of each field type, in the order listed. Each
/// field type names the type of its value as `value_type`; a field whose
/// `value_type` is the field itself (the organisation) is its own value, any
/// other keeps it in its member `value`. Copyable and movable member by
/// member.
template <class... Fields>
class Compound {
 public:
  /// Every field default-constructed.
  Compound() = default;

  /// One value per field, in field order; field types convert implicitly from
  /// their values, so `Compound<SensorID, Sequence>("lidar", 7)` works.
  explicit Compound(Fields... fields) : fields_(std::move(fields)...) {}

  /// The value of field `F`.
  template <class F>
  typename F::value_type& get() {
    return valueOf(std::get<F>(fields_));
  }

  /// The value of field `F`.
  template <class F>
  typename F::value_type const& get() const {
    return valueOf(std::get<F>(fields_));
  }

 private:
  template <class F>
  static auto& valueOf(F& field) {
    if constexpr (std::is_same_v<std::remove_const_t<F>, typename F::value_type>) {
      return field;
    } else {
      return field.value;
    }
  }

  std::tuple<Fields...> fields_;
};

}  // namespace ostrel::otl
