// The watchdog of the test seams, apart from them: the seams are linked into every program
// of the window layer, the watchdog's thread only into the tests that arm it.
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "base/win/TestSeams.h"

namespace base::win::seams {

struct Watchdog::State {
  std::mutex m;
  std::condition_variable cv;
  bool done = false;
  std::thread thread;
};

Watchdog::Watchdog(int seconds, std::string what) : state_(new State) {
  State* st = state_;
  st->thread = std::thread([st, seconds, what] {
    std::unique_lock<std::mutex> lock(st->m);
    if (!st->cv.wait_for(lock, std::chrono::seconds(seconds), [st] { return st->done; })) {
      std::fprintf(stderr, "watchdog: %s still running after %d s\n", what.c_str(), seconds);
      std::fflush(stderr);
      std::fflush(stdout);
      TerminateProcess(GetCurrentProcess(), 3);
    }
  });
}

Watchdog::~Watchdog() {
  {
    std::lock_guard<std::mutex> lock(state_->m);
    state_->done = true;
  }
  state_->cv.notify_all();
  state_->thread.join();
  delete state_;
}

}  // namespace base::win::seams
