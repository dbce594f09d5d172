#pragma once

namespace ostrel::test {

/// Makes thread creation fail with EAGAIN after `successes` more threads
/// have been started, for as long as it lives. The test program replaces
/// `pthread_create` with a wrapper that forwards to the real one otherwise.
class FailingThreadStart {
 public:
  explicit FailingThreadStart(int successes);
  ~FailingThreadStart();
  FailingThreadStart(FailingThreadStart const&) = delete;
  FailingThreadStart& operator=(FailingThreadStart const&) = delete;
};

}  // namespace ostrel::test
