#pragma once

#include <ostrel/core/export.h>
#include <ostrel/core/frame_tags.h>
#include <ostrel/otl/cart.h>

namespace ostrel::core {

/// The box that encloses a tracked object: its extent along the object's x
/// axis (`length`, the heading direction), y axis (`width`) and z axis
/// (`height`), and where the object's position point lies relative to the
/// box centre (`anchor`, in the object's own frame).
///
/// The library compiles the `float` and `double` forms for the
/// `frames::World` and `frames::Trackable` tags.
template <class T, class Frame>
class Dimensions {
 public:
  /// A box whose position point is `anchor` away from its centre.
  Dimensions(T length, T width, T height, const otl::Cart<T, Frame>& anchor);
  /// A box whose position point is its centre (anchor (0, 0, 0)).
  Dimensions(T length, T width, T height);
  /// The same four values as `other`.
  Dimensions(const Dimensions& other);
  /// Takes the four values of `other`.
  Dimensions& operator=(const Dimensions& other) = default;

  T length;
  T width;
  T height;
  otl::Cart<T, Frame> anchor;
};

extern template class OSTREL_CORE_EXPORT Dimensions<float, frames::World>;
extern template class OSTREL_CORE_EXPORT Dimensions<double, frames::World>;
extern template class OSTREL_CORE_EXPORT Dimensions<float, frames::Trackable>;
extern template class OSTREL_CORE_EXPORT Dimensions<double, frames::Trackable>;

}  // namespace ostrel::core
