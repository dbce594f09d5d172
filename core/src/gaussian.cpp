#include <ostrel/core/gaussian.h>

namespace ostrel {

// The estimates a tracked state is made of.
template struct Gaussian<float, 1>;
template struct Gaussian<float, 2>;
template struct Gaussian<float, 3>;

}  // namespace ostrel
