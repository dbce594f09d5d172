#include <ostrel/otl/owner_checked_mutex.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>

namespace {

using ostrel::otl::OwnerCheckedLock;
using ostrel::otl::OwnerCheckedMutex;

TEST(OwnerCheckedMutexTest, HolderLockingAgainGetsAnErrorNamingTheOperation) {
  OwnerCheckedMutex mutex;
  OwnerCheckedLock lock(mutex, "emit");
  try {
    OwnerCheckedLock again(mutex, "connect");
    FAIL() << "a second lock on the holding thread must fail";
  } catch (std::logic_error const& error) {
    EXPECT_EQ(std::string(error.what()).rfind("connect called on a signal", 0), 0u);
  }
}

TEST(OwnerCheckedMutexTest, AnotherThreadIsNotTakenForTheHolder) {
  OwnerCheckedMutex mutex;
  bool locked = false;
  std::thread other;
  {
    OwnerCheckedLock lock(mutex, "emit");
    other = std::thread([&] {
      OwnerCheckedLock lock(mutex, "connect");
      locked = true;
    });
  }
  other.join();
  EXPECT_TRUE(locked);
  OwnerCheckedLock relock(mutex, "emit");  // free again on this thread
}

}  // namespace
