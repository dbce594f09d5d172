#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <utility>

#include <ostrel/otl/connection.h>
#include <ostrel/otl/owner_checked_mutex.h>

namespace ostrel::otl {

/// A typed publish/subscribe primitive. Consumers connect slots; each
/// emission calls every connected, unblocked slot in connection order on the
/// emitting thread while the signal's mutex is held.
///
/// A by-value argument is copied for every slot but the last one called,
/// which receives the emitter's object (moved when the emitter passed an
/// rvalue), so a single slot takes a large value over without a copy. A
/// reference argument reaches every slot as the same reference.
///
/// Disconnecting only sets a flag; the entry is removed under the lock by the
/// next delivery or connect. A slot must not call `connect`, `emit`,
/// `connectionCount` or `disconnectAll` on the signal that is delivering to
/// it: on the delivering thread such a call throws `std::logic_error`.
/// Neither copyable nor movable.
template <class... Args>
class Signal {
 public:
  /// The callable type of a slot.
  using Slot = std::function<void(Args...)>;

  Signal() = default;
  Signal(Signal const&) = delete;
  Signal& operator=(Signal const&) = delete;

  /// Drops every slot; connections made earlier expire.
  ~Signal() {
    mutex_.lockUnchecked();
    slots_.clear();
    mutex_.unlock();
  }

  /// Appends a copy of `slot` after the slots connected so far, first
  /// removing entries whose connection was ended.
  /// @throws std::logic_error when called from a slot of this signal while it delivers.
  /// @throws std::bad_alloc when the entry cannot be made; the list is then unchanged.
  Connection connect(Slot const& slot) {
    OwnerCheckedLock lock(mutex_, "connect");
    removeDisconnected();
    auto status = std::make_shared<Connection::Status>();
    slots_.emplace_back(status, slot);
    return Connection(status);
  }

  /// Calls every connected, unblocked slot with `args`, in connection order.
  /// @throws std::logic_error when called from a slot of this signal while it delivers.
  /// @throws std::bad_function_call when an empty slot's turn comes.
  /// Whatever a slot throws ends the delivery and passes out unchanged.
  template <class... Ts>
  void emit(Ts&&... args) {
    OwnerCheckedLock lock(mutex_, "emit");
    deliver(std::forward<Ts>(args)...);
  }

  /// Number of entries, counting blocked ones and ended ones not yet removed.
  /// @throws std::logic_error when called from a slot of this signal while it delivers.
  std::uint32_t connectionCount() {
    OwnerCheckedLock lock(mutex_, "connectionCount");
    return static_cast<std::uint32_t>(slots_.size());
  }

  /// Drops every slot; connections made earlier expire without being flagged.
  /// @throws std::logic_error when called from a slot of this signal while it delivers.
  void disconnectAll() {
    OwnerCheckedLock lock(mutex_, "disconnectAll");
    slots_.clear();
  }

 private:
  /// One connected slot. The status is declared first so that the function
  /// is destroyed before the status reference.
  struct Entry {
    Entry(std::shared_ptr<Connection::Status> entryStatus, Slot const& entrySlot)
        : status(std::move(entryStatus)), slot(entrySlot) {}
    std::shared_ptr<Connection::Status> status;
    Slot slot;
  };
  using Entries = std::list<Entry>;

  /// One walk over the slots; the caller holds the mutex. Each entry's flags
  /// are read before the slot ahead of it is called, so the pending slot gets
  /// copies and only the last callable one gets the arguments forwarded.
  template <class... Ts>
  void deliver(Ts&&... args) {
    auto pending = slots_.end();
    auto entry = slots_.begin();
    while (entry != slots_.end()) {
      Connection::Status const& status = *entry->status;
      if (status.disconnected.load()) {
        entry = slots_.erase(entry);
        continue;
      }
      if (!status.blocked.load()) {
        if (pending != slots_.end()) {
          pending->slot(args...);
        }
        pending = entry;
      }
      ++entry;
    }
    if (pending != slots_.end()) {
      pending->slot(std::forward<Ts>(args)...);
    }
  }

  void removeDisconnected() {
    slots_.remove_if([](Entry const& entry) { return entry.status->disconnected.load(); });
  }

  OwnerCheckedMutex mutex_;
  Entries slots_;
};

}  // namespace ostrel::otl
