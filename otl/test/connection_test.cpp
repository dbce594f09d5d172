#include <ostrel/otl/connection.h>
#include <ostrel/otl/signal.h>

#include <gtest/gtest.h>

#include <type_traits>
#include <utility>

namespace {

using ostrel::otl::Connection;
using ostrel::otl::ScopedConnection;
using ostrel::otl::Signal;

TEST(ConnectionTest, DefaultConnectionRefersToNothing) {
  Connection connection;
  EXPECT_FALSE(connection.connected());
  EXPECT_FALSE(connection.blocked());
  connection.disconnect();
  connection.block();
  EXPECT_FALSE(connection.blocked());
}

TEST(ConnectionTest, CopiesShareOneConnection) {
  Signal<> signal;
  int calls = 0;
  Connection original = signal.connect([&calls] { ++calls; });
  Connection const copy = original;
  copy.block();
  EXPECT_TRUE(original.blocked());
  original.unblock();
  EXPECT_FALSE(copy.blocked());
  copy.disconnect();
  EXPECT_FALSE(original.connected());
  signal.emit();
  EXPECT_EQ(calls, 0);
}

TEST(ConnectionTest, DisconnectedConnectionIsNotBlocked) {
  Signal<> signal;
  Connection connection = signal.connect([] {});
  connection.block();
  connection.disconnect();
  EXPECT_FALSE(connection.blocked());
}

TEST(ScopedConnectionTest, DisconnectsWhenItGoesOutOfScope) {
  Signal<> signal;
  int calls = 0;
  Connection observer;
  {
    ScopedConnection scoped = signal.connect([&calls] { ++calls; });
    observer = scoped.connection();
    signal.emit();
    EXPECT_TRUE(scoped.connected());
  }
  EXPECT_FALSE(observer.connected());
  signal.emit();
  EXPECT_EQ(calls, 1);
}

TEST(ScopedConnectionTest, IsMoveOnlyAndMovesOwnership) {
  static_assert(!std::is_copy_constructible_v<ScopedConnection>);
  static_assert(!std::is_copy_assignable_v<ScopedConnection>);
  Signal<> signal;
  int calls = 0;
  ScopedConnection outer;
  {
    ScopedConnection inner = signal.connect([&calls] { ++calls; });
    outer = std::move(inner);
  }  // the moved-from object disconnects nothing
  EXPECT_TRUE(outer.connected());
  signal.emit();
  EXPECT_EQ(calls, 1);

  ScopedConnection moved(std::move(outer));
  EXPECT_TRUE(moved.connected());
  EXPECT_FALSE(outer.connected());  // NOLINT(bugprone-use-after-move): moved-from holds nothing
}

TEST(ScopedConnectionTest, MoveAssignmentDisconnectsTheConnectionHeldBefore) {
  Signal<> signal;
  ScopedConnection scoped = signal.connect([] {});
  Connection const first = scoped.connection();
  scoped = ScopedConnection(signal.connect([] {}));
  EXPECT_FALSE(first.connected());
  EXPECT_TRUE(scoped.connected());
}

TEST(ScopedConnectionTest, ReleaseGivesUpOwnershipWithoutDisconnecting) {
  Signal<> signal;
  Connection released;
  {
    ScopedConnection scoped = signal.connect([] {});
    released = scoped.release();
    EXPECT_FALSE(scoped.connected());
  }
  EXPECT_TRUE(released.connected());
}

}  // namespace
