// Linked into the programs a package carries, the stub and the engine, which run all their
// code on one thread. The compiler's run-time (exception allocation, unwinder registration,
// thread-local emulation, guards of local statics) asks for these few threading calls; the
// threads library that would answer them brings some 30 KB of thread, condition and lock
// code along. On one thread a lock has nothing to exclude, a once-flag or a key is a plain
// variable, and a wait could never end. A program that starts threads needs the real
// library: linking std::thread beside this file fails on the duplicate names, and a call
// from a second thread (one started with CreateThread) ends the program.
#include <windows.h>
#include <pthread.h>

#include <cerrno>
#include <cstdlib>

namespace {
constexpr unsigned kKeys = 64;
void* g_values[kKeys];
unsigned g_keys = 0;
DWORD g_thread = 0;

// The first caller's thread is the one; any other could race the run-time's state.
void OnOneThread() {
  const DWORD self = GetCurrentThreadId();
  if (g_thread == 0)
    g_thread = self;
  else if (g_thread != self)
    std::abort();
}
}  // namespace

extern "C" {

int pthread_mutex_init(pthread_mutex_t* m, const pthread_mutexattr_t*) {
  OnOneThread();
  *m = 0;
  return 0;
}
int pthread_mutex_destroy(pthread_mutex_t*) {
  OnOneThread();
  return 0;
}
int pthread_mutex_lock(pthread_mutex_t*) {
  OnOneThread();
  return 0;
}
int pthread_mutex_unlock(pthread_mutex_t*) {
  OnOneThread();
  return 0;
}

// Only a local static whose initialisation reaches itself waits here: a hang on any number
// of threads, a plain end on one.
int pthread_cond_wait(pthread_cond_t*, pthread_mutex_t*) { std::abort(); }
int pthread_cond_broadcast(pthread_cond_t*) {
  OnOneThread();
  return 0;
}

int pthread_once(pthread_once_t* once, void (*init)(void)) {
  OnOneThread();
  if (*once == PTHREAD_ONCE_INIT) {
    *once = 1;
    init();
  }
  return 0;
}

// Values are never destroyed: the one thread's end is the process's.
int pthread_key_create(pthread_key_t* key, void (*)(void*)) {
  OnOneThread();
  if (g_keys == kKeys) return EAGAIN;
  *key = g_keys++;
  return 0;
}
void* pthread_getspecific(pthread_key_t key) {
  OnOneThread();
  return key < g_keys ? g_values[key] : nullptr;
}
int pthread_setspecific(pthread_key_t key, const void* value) {
  OnOneThread();
  if (key >= g_keys) return EINVAL;
  g_values[key] = const_cast<void*>(value);
  return 0;
}

}  // extern "C"
