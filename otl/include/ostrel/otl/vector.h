#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include <ostrel/otl/vector_allocator.h>

namespace ostrel::otl {

/// A growable array of trivially copyable elements, owned through a `Slice`.
///
/// Growth doubles the element count (1, 2, 4, 8, ... for a vector filled by
/// `push_back`). Memory comes from the vector's allocator; a vector created
/// without one installs a `DefaultVectorAllocator` when it first grows.
/// Neither copyable nor movable: columns are shared by handle, not by value.
template <class T>
class vector {
  static_assert(std::is_trivially_copyable_v<T>,
                "otl::vector moves its elements with plain copies");

 public:
  using value_type = T;
  using size_type = std::size_t;
  using allocator_type = VectorAllocator<T>;
  using iterator = T*;
  using const_iterator = T const*;

  /// An empty vector without storage; the first growth installs a
  /// `DefaultVectorAllocator`.
  vector() = default;

  /// An empty vector without storage that grows through `allocator` (a null
  /// pointer means the default allocator).
  explicit vector(std::shared_ptr<allocator_type> allocator) : allocator_(std::move(allocator)) {}

  vector(vector const&) = delete;
  vector& operator=(vector const&) = delete;

  /// Returns the storage to the allocator, then releases this vector's share
  /// of the allocator.
  ~vector() {
    if (allocator_ && begin_ != nullptr) {
      allocator_->deallocate(begin_, capacity());
    }
  }

  /// Number of elements.
  size_type size() const noexcept { return static_cast<size_type>(end_ - begin_); }

  /// Number of elements the current block holds.
  size_type capacity() const noexcept { return static_cast<size_type>(capacity_end_ - begin_); }

  /// True when there are no elements.
  bool empty() const noexcept { return begin_ == end_; }

  /// First element; null while nothing was ever allocated.
  T* begin() noexcept { return begin_; }
  T const* begin() const noexcept { return begin_; }

  /// One past the last element.
  T* end() noexcept { return end_; }
  T const* end() const noexcept { return end_; }

  /// The elements as a contiguous array, same as `begin()`.
  T* data() noexcept { return begin_; }
  T const* data() const noexcept { return begin_; }

  /// Element `i`, unchecked.
  T& operator[](size_type i) noexcept { return begin_[i]; }
  T const& operator[](size_type i) const noexcept { return begin_[i]; }

  /// Element `i`.
  /// @throws std::out_of_range when `i` is not below `size()`.
  T& at(size_type i) { return begin_[checkedIndex(i)]; }
  T const& at(size_type i) const { return begin_[checkedIndex(i)]; }

  /// The allocator; empty until the first growth unless set at creation.
  std::shared_ptr<allocator_type> const& allocator() const noexcept { return allocator_; }

  /// Appends `value`, growing first when the block is full. `value` may be an
  /// element of this vector: it is copied before the old block is released.
  /// @throws std::bad_alloc when growth fails; the vector is then unchanged.
  void push_back(T const& value) {
    if (end_ == capacity_end_) {
      T const copy = value;
      expand();
      if (end_ < capacity_end_) {
        *end_++ = copy;
      }
      return;
    }
    *end_++ = value;
  }

  /// Appends the elements of [first, last) in order, growing exactly as that
  /// many `push_back` calls would; a run that fits the block is copied in one
  /// go. The range must not lie in this vector.
  /// @throws std::bad_alloc when growth fails; the elements appended so far stay.
  template <class InputIt>
  void append(InputIt first, InputIt last) {
    while (first != last) {
      if (end_ == capacity_end_) {
        expand();
      }
      T* const stop = capacity_end_;
      T* out = end_;
      while (out != stop && first != last) {
        *out++ = *first++;
      }
      end_ = out;
    }
  }

  /// Moves the elements into a new block of twice the element count (one
  /// element when empty) and releases the old block.
  /// @throws std::bad_alloc when no block can be had; the vector is then unchanged.
  void expand() {
    size_type const count = size();
    size_type const newCapacity = count == 0 ? 1 : 2 * count;
    if (!allocator_) {
      allocator_ = std::make_shared<DefaultVectorAllocator<T>>();
    }
    if (auto* const defaultAllocator = dynamic_cast<DefaultVectorAllocator<T>*>(allocator_.get())) {
      // The same as allocate, copy and free, in one call.
      begin_ = defaultAllocator->reallocate(begin_, newCapacity);
    } else {
      T* const block = allocator_->allocate(newCapacity, nullptr);
      if (block == nullptr) {
        throw std::bad_alloc();
      }
      std::copy(begin_, end_, block);
      T* const oldBlock = begin_;
      size_type const oldCapacity = capacity();
      begin_ = block;
      if (oldBlock != nullptr) {
        allocator_->deallocate(oldBlock, oldCapacity);
      }
    }
    end_ = begin_ + count;
    capacity_end_ = begin_ + newCapacity;
  }

 private:
  size_type checkedIndex(size_type i) const {
    if (i >= size()) {
      throw std::out_of_range("otl::vector index out of range");
    }
    return i;
  }

  T* begin_ = nullptr;
  T* end_ = nullptr;
  T* capacity_end_ = nullptr;
  std::shared_ptr<allocator_type> allocator_;
};

}  // namespace ostrel::otl
