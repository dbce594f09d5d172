#pragma once

#include <exception>

namespace ostrel::otl {

// Both errors are thrown from code that one shared library compiled and caught
// in another, so their type information is kept visible.

/// The columns of a cloud hold different numbers of elements.
class [[gnu::visibility("default")]] MismatchedSlices : public std::exception{
  public :
      /// "Mismatched slice sizes in SoA".
      char const * what() const noexcept override{return "Mismatched slice sizes in SoA";
}  // namespace ostrel::otl
}
;

/// A cloud's height × width differs from its number of elements.
class [[gnu::visibility("default")]] InvalidOrganized
    : public std::
      exception{public :
                    /// "Cloud dimensions don't match element count".
                    char const *
                what() const noexcept override{return "Cloud dimensions don't match element count";
}
}
;

}  // namespace ostrel::otl
