#pragma once

#include <atomic>
#include <memory>
#include <utility>

namespace ostrel::otl {

/// A consumer's handle on one slot connected to a `Signal`. Copies refer to
/// the same connection; a connection may outlive its signal, and every
/// operation on it is then harmless. A default-constructed connection refers
/// to nothing.
class Connection {
 public:
  /// The flags of one connected slot. The signal's slot list holds the only
  /// strong reference; connections observe it weakly.
  struct Status {
    /// The slot stays connected, but deliveries pass it over.
    std::atomic<bool> blocked{false};
    /// The slot is dropped by the next delivery or connect.
    std::atomic<bool> disconnected{false};
  };

  /// A connection that refers to nothing.
  Connection() noexcept = default;

  /// A connection observing `status`; made by `Signal::connect`.
  explicit Connection(std::weak_ptr<Status> status) noexcept : status_(std::move(status)) {}

  /// Ends the connection: the signal drops the slot on its next delivery or
  /// connect. Takes no lock, so it may run on any thread, inside a slot too.
  /// Does nothing when the slot is already gone.
  void disconnect() const noexcept {
    if (std::shared_ptr<Status> status = status_.lock()) {
      status->disconnected.store(true);
    }
  }

  /// Keeps the slot connected but makes deliveries pass it over.
  void block() const noexcept { setBlocked(true); }

  /// Lets deliveries reach a blocked slot again.
  void unblock() const noexcept { setBlocked(false); }

  /// True while the slot is connected and blocked.
  bool blocked() const noexcept {
    std::shared_ptr<Status> status = status_.lock();
    return status && status->blocked.load() && !status->disconnected.load();
  }

  /// False once `disconnect` was called on any copy, the signal removed the
  /// slot, or the signal is gone.
  bool connected() const noexcept {
    std::shared_ptr<Status> status = status_.lock();
    return status && !status->disconnected.load();
  }

 private:
  void setBlocked(bool value) const noexcept {
    if (std::shared_ptr<Status> status = status_.lock()) {
      status->blocked.store(value);
    }
  }

  std::weak_ptr<Status> status_;
};

/// Owns one connection and disconnects it when it goes out of scope, so a
/// slot cannot outlive the object it calls into. Move-only.
class ScopedConnection {
 public:
  ScopedConnection() noexcept = default;

  /// Takes charge of `connection`; implicit so that
  /// `ScopedConnection c = signal.connect(...)` reads naturally.
  ScopedConnection(Connection connection) noexcept : connection_(std::move(connection)) {}

  ScopedConnection(ScopedConnection&& other) noexcept : connection_(other.release()) {}

  /// Disconnects the connection held so far, then takes `other`'s.
  ScopedConnection& operator=(ScopedConnection&& other) noexcept {
    if (this != &other) {
      connection_.disconnect();
      connection_ = other.release();
    }
    return *this;
  }

  ScopedConnection(ScopedConnection const&) = delete;
  ScopedConnection& operator=(ScopedConnection const&) = delete;

  ~ScopedConnection() { connection_.disconnect(); }

  /// Ends the connection now.
  void disconnect() const noexcept { connection_.disconnect(); }

  /// True while the held connection is connected.
  bool connected() const noexcept { return connection_.connected(); }

  /// The held connection, still owned by this object.
  Connection const& connection() const noexcept { return connection_; }

  /// Gives up ownership without disconnecting; this object then holds nothing.
  Connection release() noexcept { return std::exchange(connection_, Connection()); }

 private:
  Connection connection_;
};

}  // namespace ostrel::otl
