#pragma once

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

namespace ostrel::otl {

/// A non-recursive mutex that remembers which thread holds it, so that the
/// holder asking for it again gets an error instead of a deadlock. Signals
/// hold their mutex while slots run; a slot that calls back into the same
/// signal on the same thread would otherwise hang.
///
/// The check costs one read of the owner before locking and two writes of it
/// while locked. Only the holder writes its own id, so a thread that reads its
/// own id knows it holds the mutex; any other value, however stale, means it
/// does not.
class OwnerCheckedMutex {
 public:
  OwnerCheckedMutex() = default;
  OwnerCheckedMutex(OwnerCheckedMutex const&) = delete;
  OwnerCheckedMutex& operator=(OwnerCheckedMutex const&) = delete;

  /// Locks, naming `operation` in the error when the calling thread already
  /// holds the mutex.
  /// @throws std::logic_error when the calling thread holds the mutex.
  /// @throws std::system_error when the mutex cannot be locked.
  void lock(char const* operation) {
    std::thread::id const self = std::this_thread::get_id();
    if (owner_.load(std::memory_order_relaxed) == self) {
      throwReentered(operation);
    }
    mutex_.lock();
    owner_.store(self, std::memory_order_relaxed);
  }

  /// Locks without the check; for destructors, which must not throw.
  void lockUnchecked() {
    mutex_.lock();
    owner_.store(std::this_thread::get_id(), std::memory_order_relaxed);
  }

  /// Unlocks; the caller holds the mutex.
  void unlock() noexcept {
    owner_.store(std::thread::id(), std::memory_order_relaxed);
    mutex_.unlock();
  }

 private:
  /// Kept out of line so the locking path stays free of the error's setup.
  [[noreturn]] __attribute__((noinline, cold)) static void throwReentered(char const* operation) {
    throw std::logic_error(std::string(operation) +
                           " called on a signal from one of its own slots while it delivers");
  }

  std::mutex mutex_;
  std::atomic<std::thread::id> owner_{};
};

/// Holds an `OwnerCheckedMutex` for one scope.
class OwnerCheckedLock {
 public:
  /// @throws std::logic_error when the calling thread already holds `mutex`.
  /// @throws std::system_error when `mutex` cannot be locked.
  OwnerCheckedLock(OwnerCheckedMutex& mutex, char const* operation) : mutex_(mutex) {
    mutex_.lock(operation);
  }
  OwnerCheckedLock(OwnerCheckedLock const&) = delete;
  OwnerCheckedLock& operator=(OwnerCheckedLock const&) = delete;
  ~OwnerCheckedLock() { mutex_.unlock(); }

 private:
  OwnerCheckedMutex& mutex_;
};

}  // namespace ostrel::otl
