// Linked into the programs a package carries, the stub and the engine, which run all their
// code on one thread. The compiler's run-time (exception allocation, unwinder registration,
// thread-local emulation, guards of local statics) asks for these few threading calls; the
// threads library that would answer them brings some 30 KB of thread, condition and lock
// code along. On one thread a lock has nothing to exclude, a once-flag or a key is a plain
// variable, and a wait could never end. A program that starts a thread of its own needs
// the real library: linking it beside this file fails on the duplicate names.
#include <pthread.h>

#include <cerrno>
#include <cstdlib>

namespace {
constexpr unsigned kKeys = 64;
void* g_values[kKeys];
unsigned g_keys = 0;
}  // namespace

extern "C" {

int pthread_mutex_init(pthread_mutex_t* m, const pthread_mutexattr_t*) {
  *m = 0;
  return 0;
}
int pthread_mutex_destroy(pthread_mutex_t*) { return 0; }
int pthread_mutex_lock(pthread_mutex_t*) { return 0; }
int pthread_mutex_unlock(pthread_mutex_t*) { return 0; }

// Only a local static whose initialisation reaches itself waits here: a hang on any number
// of threads, a plain end on one.
int pthread_cond_wait(pthread_cond_t*, pthread_mutex_t*) { std::abort(); }
int pthread_cond_broadcast(pthread_cond_t*) { return 0; }

int pthread_once(pthread_once_t* once, void (*init)(void)) {
  if (*once == PTHREAD_ONCE_INIT) {
    *once = 1;
    init();
  }
  return 0;
}

// Values are never destroyed: the one thread's end is the process's.
int pthread_key_create(pthread_key_t* key, void (*)(void*)) {
  if (g_keys == kKeys) return EAGAIN;
  *key = g_keys++;
  return 0;
}
void* pthread_getspecific(pthread_key_t key) { return key < g_keys ? g_values[key] : nullptr; }
int pthread_setspecific(pthread_key_t key, const void* value) {
  if (key >= g_keys) return EINVAL;
  g_values[key] = const_cast<void*>(value);
  return 0;
}

}  // extern "C"
