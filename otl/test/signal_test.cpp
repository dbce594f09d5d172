#include <ostrel/otl/signal.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using ostrel::otl::Connection;
using ostrel::otl::Signal;
using ::testing::ElementsAre;

/// Records how it came to be: each copy is one generation further from the
/// object the emitter made; moves keep the generation.
struct Tracked {
  explicit Tracked(int* copyCounter) : copies(copyCounter) {}
  Tracked(Tracked const& other) : copies(other.copies), generation(other.generation + 1) {
    ++*copies;
  }
  Tracked(Tracked&& other) noexcept : copies(other.copies), generation(other.generation) {
    other.movedFrom = true;
  }
  Tracked& operator=(Tracked const&) = delete;
  Tracked& operator=(Tracked&&) = delete;

  int* copies;
  int generation = 0;
  bool movedFrom = false;
};

TEST(SignalTest, EmitWithoutSlotsDoesNothing) {
  Signal<int> signal;
  signal.emit(1);
  EXPECT_EQ(signal.connectionCount(), 0u);
}

TEST(SignalTest, SlotsRunInConnectionOrderWithTheArguments) {
  Signal<int, std::string const&> signal;
  std::vector<std::string> calls;
  for (std::string name : {"A", "B", "C"}) {
    signal.connect([&calls, name](int value, std::string const& text) {
      calls.push_back(name + std::to_string(value) + text);
    });
  }
  signal.emit(7, std::string("x"));
  EXPECT_THAT(calls, ElementsAre("A7x", "B7x", "C7x"));
}

TEST(SignalTest, ByValueArgumentIsCopiedForAllButTheLastSlot) {
  Signal<Tracked> signal;
  std::vector<int> generations;
  for (int slot = 0; slot < 3; ++slot) {
    signal.connect([&generations](Tracked value) { generations.push_back(value.generation); });
  }
  int copies = 0;
  signal.emit(Tracked(&copies));
  // A and B get copies of the emitter's object, C the object itself.
  EXPECT_THAT(generations, ElementsAre(1, 1, 0));
  EXPECT_EQ(copies, 2);
}

TEST(SignalTest, SingleSlotTakesAnRvalueVectorOverWithoutCopying) {
  Signal<std::vector<float>> signal;
  float const* received = nullptr;
  std::vector<float> kept;
  signal.connect([&](std::vector<float> cloud) {
    received = cloud.data();
    kept = std::move(cloud);
  });
  std::vector<float> cloud(1 << 18, 1.5f);
  float const* const original = cloud.data();
  signal.emit(std::move(cloud));
  EXPECT_EQ(received, original);
  EXPECT_EQ(kept.data(), original);
}

TEST(SignalTest, LvalueArgumentIsCopiedForTheLastSlotAndLeftIntact) {
  Signal<Tracked> signal;
  int generation = -1;
  signal.connect([&generation](Tracked value) { generation = value.generation; });
  int copies = 0;
  Tracked const mine(&copies);
  signal.emit(mine);
  EXPECT_EQ(generation, 1);
  EXPECT_EQ(copies, 1);
  EXPECT_FALSE(mine.movedFrom);
}

TEST(SignalTest, BlockedSlotsAreNotTheLastAndGetCopies) {
  // The last callable slot takes the emitter's object, even when blocked
  // slots follow it.
  Signal<Tracked> signal;
  std::vector<int> generations;
  signal.connect([&generations](Tracked value) { generations.push_back(value.generation); });
  signal.connect([&generations](Tracked value) { generations.push_back(value.generation); });
  signal.connect([&generations](Tracked) { generations.push_back(-1); }).block();
  int copies = 0;
  signal.emit(Tracked(&copies));
  EXPECT_THAT(generations, ElementsAre(1, 0));
  EXPECT_EQ(copies, 1);
}

TEST(SignalTest, ReferenceArgumentReachesEverySlotAsTheSameObject) {
  Signal<int&> signal;
  std::vector<int*> seen;
  for (int slot = 0; slot < 3; ++slot) {
    signal.connect([&seen](int& value) {
      seen.push_back(&value);
      ++value;
    });
  }
  int value = 0;
  signal.emit(value);
  EXPECT_THAT(seen, ElementsAre(&value, &value, &value));
  EXPECT_EQ(value, 3);
}

TEST(SignalTest, DisconnectedSlotIsSkippedAndRemovedLazily) {
  Signal<> signal;
  int calls = 0;
  Connection connection = signal.connect([&calls] { ++calls; });
  connection.disconnect();
  EXPECT_EQ(signal.connectionCount(), 1u);  // not yet removed
  signal.emit();
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(signal.connectionCount(), 0u);
  connection.disconnect();  // a second disconnect does nothing
  signal.emit();
  EXPECT_EQ(calls, 0);
}

TEST(SignalTest, ConnectRemovesDisconnectedEntries) {
  Signal<> signal;
  Connection first = signal.connect([] {});
  signal.connect([] {});
  first.disconnect();
  EXPECT_EQ(signal.connectionCount(), 2u);
  signal.connect([] {});
  EXPECT_EQ(signal.connectionCount(), 2u);
}

TEST(SignalTest, BlockedSlotStaysConnectedButIsPassedOver) {
  Signal<> signal;
  std::vector<char> calls;
  signal.connect([&calls] { calls.push_back('A'); });
  Connection b = signal.connect([&calls] { calls.push_back('B'); });
  b.block();
  signal.emit();
  EXPECT_EQ(signal.connectionCount(), 2u);
  b.unblock();
  signal.emit();
  EXPECT_THAT(calls, ElementsAre('A', 'A', 'B'));
}

/// What slot A does, during its own call, to the connection of another slot.
struct OneAheadCase {
  std::string name;
  int target;  // index of the slot A acts on: 1 is B, just behind A; 2 is C
  std::function<void(Connection const&)> action;
  std::vector<char> firstDelivery;
  std::vector<char> secondDelivery;
};

void PrintTo(OneAheadCase const& param, std::ostream* out) { *out << param.name; }

class OneAheadTest : public ::testing::TestWithParam<OneAheadCase> {};

TEST_P(OneAheadTest, FlagsAreReadOneEntryAheadOfTheCall) {
  OneAheadCase const& param = GetParam();
  Signal<> signal;
  std::vector<char> calls;
  std::vector<Connection> connections;
  bool acted = false;
  connections.push_back(signal.connect([&] {
    calls.push_back('A');
    if (!acted) {
      acted = true;
      param.action(connections[param.target]);
    }
  }));
  connections.push_back(signal.connect([&calls] { calls.push_back('B'); }));
  connections.push_back(signal.connect([&calls] { calls.push_back('C'); }));

  signal.emit();
  EXPECT_EQ(calls, param.firstDelivery);
  calls.clear();
  signal.emit();
  EXPECT_EQ(calls, param.secondDelivery);
}

INSTANTIATE_TEST_SUITE_P(
    SignalTest, OneAheadTest,
    ::testing::Values(
        OneAheadCase{"DisconnectNext",
                     1,
                     [](Connection const& c) { c.disconnect(); },
                     {'A', 'B', 'C'},
                     {'A', 'C'}},
        OneAheadCase{"DisconnectTwoAhead",
                     2,
                     [](Connection const& c) { c.disconnect(); },
                     {'A', 'B'},
                     {'A', 'B'}},
        OneAheadCase{"DisconnectSelf",
                     0,
                     [](Connection const& c) { c.disconnect(); },
                     {'A', 'B', 'C'},
                     {'B', 'C'}},
        OneAheadCase{
            "BlockNext", 1, [](Connection const& c) { c.block(); }, {'A', 'B', 'C'}, {'A', 'C'}},
        OneAheadCase{
            "BlockTwoAhead", 2, [](Connection const& c) { c.block(); }, {'A', 'B'}, {'A', 'B'}}),
    [](::testing::TestParamInfo<OneAheadCase> const& info) { return info.param.name; });

TEST(SignalTest, ThrowingSlotEndsTheDeliveryAndLeavesTheSignalUsable) {
  Signal<> signal;
  std::vector<char> calls;
  bool fail = true;
  Connection gone = signal.connect([&calls] { calls.push_back('X'); });
  gone.disconnect();
  signal.connect([&calls] { calls.push_back('A'); });
  signal.connect([&] {
    calls.push_back('B');
    if (fail) throw std::runtime_error("slot failed");
  });
  signal.connect([&calls] { calls.push_back('C'); });

  EXPECT_THROW(signal.emit(), std::runtime_error);
  EXPECT_THAT(calls, ElementsAre('A', 'B'));
  EXPECT_EQ(signal.connectionCount(), 3u);  // the removal before the throw stays

  // The lock was released: connecting and emitting work again.
  fail = false;
  calls.clear();
  signal.connect([&calls] { calls.push_back('D'); });
  signal.emit();
  EXPECT_THAT(calls, ElementsAre('A', 'B', 'C', 'D'));
}

TEST(SignalTest, EmptySlotRaisesBadFunctionCallInItsTurn) {
  Signal<> signal;
  std::vector<char> calls;
  signal.connect([&calls] { calls.push_back('A'); });
  signal.connect(std::function<void()>());
  signal.connect([&calls] { calls.push_back('C'); });
  EXPECT_THROW(signal.emit(), std::bad_function_call);
  EXPECT_THAT(calls, ElementsAre('A'));
}

TEST(SignalTest, DisconnectAllExpiresConnectionsWithoutFlaggingThem) {
  Signal<> signal;
  int calls = 0;
  Connection connection = signal.connect([&calls] { ++calls; });
  signal.disconnectAll();
  EXPECT_EQ(signal.connectionCount(), 0u);
  EXPECT_FALSE(connection.connected());
  signal.emit();
  EXPECT_EQ(calls, 0);
}

TEST(SignalTest, ConnectionsOutliveTheirSignal) {
  Connection connection;
  {
    Signal<int> signal;
    connection = signal.connect([](int) {});
    EXPECT_TRUE(connection.connected());
  }
  EXPECT_FALSE(connection.connected());
  EXPECT_FALSE(connection.blocked());
  connection.block();
  connection.disconnect();
  EXPECT_FALSE(connection.connected());
}

TEST(SignalTest, DestroyingTheSignalReleasesWhatItsSlotsCaptured) {
  auto captured = std::make_shared<int>(0);
  {
    Signal<> signal;
    signal.connect([captured] {});
    EXPECT_EQ(captured.use_count(), 2);
  }
  EXPECT_EQ(captured.use_count(), 1);
}

/// A call a slot makes back into the signal delivering to it.
struct ReentrantCall {
  std::string name;
  std::function<void(Signal<>&)> call;
};

void PrintTo(ReentrantCall const& param, std::ostream* out) { *out << param.name; }

class ReentranceTest : public ::testing::TestWithParam<ReentrantCall> {};

TEST_P(ReentranceTest, FailsWithLogicErrorInsteadOfDeadlocking) {
  Signal<> signal;
  bool reenter = true;
  int calls = 0;
  signal.connect([&] {
    ++calls;
    if (reenter) GetParam().call(signal);
  });
  EXPECT_THROW(signal.emit(), std::logic_error);
  reenter = false;
  signal.emit();  // still usable
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(signal.connectionCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    SignalTest, ReentranceTest,
    ::testing::Values(ReentrantCall{"Connect", [](Signal<>& s) { s.connect([] {}); }},
                      ReentrantCall{"Emit", [](Signal<>& s) { s.emit(); }},
                      ReentrantCall{"ConnectionCount", [](Signal<>& s) { s.connectionCount(); }},
                      ReentrantCall{"DisconnectAll", [](Signal<>& s) { s.disconnectAll(); }}),
    [](::testing::TestParamInfo<ReentrantCall> const& info) { return info.param.name; });

TEST(SignalTest, SlotMayUseAnotherSignalAndDisconnectItself) {
  Signal<> outer;
  Signal<> inner;
  int innerCalls = 0;
  inner.connect([&innerCalls] { ++innerCalls; });
  Connection self;
  self = outer.connect([&] {
    inner.emit();
    self.disconnect();
  });
  outer.emit();
  outer.emit();
  EXPECT_EQ(innerCalls, 1);
  EXPECT_EQ(outer.connectionCount(), 0u);
}

TEST(SignalTest, ThreadsConnectEmitAndDisconnectAtOnce) {
  constexpr int THREADS = 4;
  constexpr int ROUNDS = 500;
  Signal<int> signal;
  std::atomic<long> total{0};
  std::atomic<int> missedOwnSlot{0};

  std::vector<std::thread> threads;
  for (int t = 0; t < THREADS; ++t) {
    threads.emplace_back([&] {
      for (int round = 0; round < ROUNDS; ++round) {
        std::atomic<int> ownCalls{0};
        Connection connection = signal.connect([&ownCalls, &total](int value) {
          ++ownCalls;
          total += value;
        });
        signal.emit(1);
        // The own slot was connected and unblocked for the whole emission.
        if (ownCalls.load() == 0) ++missedOwnSlot;
        connection.disconnect();
        signal.connectionCount();
        // A delivery of another thread that read the flag before the
        // disconnect may still call the slot; this emission waits for it and
        // removes the entry, so the slot's captures may then go.
        signal.emit(0);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  EXPECT_EQ(missedOwnSlot.load(), 0);
  EXPECT_GE(total.load(), long{THREADS} * ROUNDS);
  signal.emit(1);
  EXPECT_EQ(signal.connectionCount(), 0u);
}

}  // namespace
