#pragma once

#include <cstddef>
#include <cstdlib>
#include <limits>
#include <new>

namespace ostrel::otl {

/// The memory source of an `otl::vector<T>`, held by shared ownership.
///
/// There is no virtual destructor: an allocator is always owned by a
/// `std::shared_ptr` made from its concrete type, which destroys it as that
/// type. The destructor is protected so that it cannot be deleted through
/// this interface by mistake.
template <class T>
class VectorAllocator {
 public:
  /// A block for `n` elements; `hint` is a placement hint (the vector passes
  /// null). Must not return null for a non-zero `n`: report failure by
  /// throwing.
  virtual T* allocate(std::size_t n, void* hint) = 0;

  /// Releases `block`, obtained from `allocate`; `n` is the block's capacity
  /// in elements.
  virtual void deallocate(T* block, std::size_t n) = 0;

  /// The largest element count whose byte size fits a `std::size_t`.
  virtual std::size_t max_size() const {
    return std::numeric_limits<std::size_t>::max() / sizeof(T);
  }

 protected:
  VectorAllocator() = default;
  VectorAllocator(VectorAllocator const&) = default;
  VectorAllocator& operator=(VectorAllocator const&) = default;
  ~VectorAllocator() = default;
};

/// The allocator a vector installs when it first grows without one: `malloc`
/// and `free`. Stateless.
template <class T>
class DefaultVectorAllocator final : public VectorAllocator<T> {
 public:
  /// `n` × sizeof(T) bytes from `malloc`.
  /// @throws std::bad_alloc when `malloc` returns null.
  T* allocate(std::size_t n, void* /*hint*/) override {
    void* block = std::malloc(n * sizeof(T));
    if (block == nullptr) {
      throw std::bad_alloc();
    }
    return static_cast<T*>(block);
  }

  /// `free` of `block`; `n` is not needed.
  void deallocate(T* block, std::size_t /*n*/) override { std::free(block); }

  /// Moves `block` (from this allocator, or null) to a block for `n`
  /// elements, keeping its contents up to the smaller size; `realloc` can
  /// often extend or remap a large block in place instead of copying it.
  /// @throws std::bad_alloc when `realloc` returns null; `block` is then untouched.
  T* reallocate(T* block, std::size_t n) {
    void* moved = std::realloc(block, n * sizeof(T));
    if (moved == nullptr) {
      throw std::bad_alloc();
    }
    return static_cast<T*>(moved);
  }
};

}  // namespace ostrel::otl
