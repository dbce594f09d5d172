#include "failing_thread_start.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cerrno>

namespace {

std::atomic<bool> armed{false};
std::atomic<int> remaining_successes{0};

}  // namespace

namespace ostrel::test {

FailingThreadStart::FailingThreadStart(int successes) {
  remaining_successes = successes;
  armed = true;
}

FailingThreadStart::~FailingThreadStart() { armed = false; }

}  // namespace ostrel::test

// Takes the place of the C library's own for the whole test program.
extern "C" int pthread_create(pthread_t* thread, pthread_attr_t const* attributes,
                              void* (*start)(void*), void* argument) {
  using Create = int (*)(pthread_t*, pthread_attr_t const*, void* (*)(void*), void*);
  static Create const real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
  if (armed && remaining_successes.fetch_sub(1) <= 0) return EAGAIN;
  return real(thread, attributes, start, argument);
}
