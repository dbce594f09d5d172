#include <ostrel/core/dimensions.h>

namespace ostrel::core {

template <class T, class Frame>
Dimensions<T, Frame>::Dimensions(T length, T width, T height, const otl::Cart<T, Frame>& anchor)
    : length(length), width(width), height(height), anchor(anchor) {}

template <class T, class Frame>
Dimensions<T, Frame>::Dimensions(T length, T width, T height)
    : Dimensions(length, width, height, otl::Cart<T, Frame>{}) {}

template <class T, class Frame>
Dimensions<T, Frame>::Dimensions(const Dimensions& other) = default;

template class Dimensions<float, frames::World>;
template class Dimensions<double, frames::World>;
template class Dimensions<float, frames::Trackable>;
template class Dimensions<double, frames::Trackable>;

}  // namespace ostrel::core
