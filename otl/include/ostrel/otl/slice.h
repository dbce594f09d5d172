#pragma once

#include <memory>
#include <stdexcept>
#include <utility>

#include <ostrel/otl/vector.h>

namespace ostrel::otl {

/// The handle of one column: shared ownership of an `otl::vector<T>`, never
/// null. Copies share the same vector (there is no copy-on-write), so a
/// change through one copy is seen through every other.
template <class T>
class Slice {
 public:
  using value_type = T;
  using vector_type = otl::vector<T>;

  /// A new, empty vector.
  Slice() : vector_(std::make_shared<vector_type>()) {}

  /// Shares `column`, for example a vector made with its own allocator.
  /// @throws std::invalid_argument when `column` is null.
  explicit Slice(std::shared_ptr<vector_type> column) : vector_(std::move(column)) {
    if (!vector_) {
      throw std::invalid_argument("Slice needs a column vector");
    }
  }

  /// Shares `other`'s vector.
  Slice(Slice const& other) = default;
  Slice& operator=(Slice const& other) = default;

  /// Takes over `other`'s vector and gives `other` a new, empty one, so a
  /// moved-from slice stays valid.
  /// @throws std::bad_alloc when the replacement cannot be made.
  Slice(Slice&& other) : vector_(std::exchange(other.vector_, std::make_shared<vector_type>())) {}

  /// As the move constructor.
  /// @throws std::bad_alloc when the replacement cannot be made.
  Slice& operator=(Slice&& other) {
    if (this != &other) {
      vector_ = std::exchange(other.vector_, std::make_shared<vector_type>());
    }
    return *this;
  }

  ~Slice() = default;

  /// The column vector.
  vector_type& data() noexcept { return *vector_; }
  vector_type const& data() const noexcept { return *vector_; }

  /// Shorthand for `data()`.
  vector_type* operator->() noexcept { return vector_.get(); }
  vector_type const* operator->() const noexcept { return vector_.get(); }

  /// The shared owner of the column vector.
  std::shared_ptr<vector_type> const& shared() const noexcept { return vector_; }

 private:
  std::shared_ptr<vector_type> vector_;
};

}  // namespace ostrel::otl
