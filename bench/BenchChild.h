// A benchmark phase in a child process of its own, so that its peak memory and its caches
// are its own: the child's result (a plain struct with a member `ok`) comes back through a
// pipe, its peak memory from wait4.
#pragma once
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <type_traits>

namespace bench {

template <class T>
T InChild(const std::function<T()>& work, long* peakKb = nullptr) {
  static_assert(std::is_trivially_copyable_v<T>);
  T result{};
  int fd[2];
  if (pipe(fd) != 0) return result;
  const pid_t pid = fork();
  if (pid == 0) {
    close(fd[0]);
    const T r = work();
    if (write(fd[1], &r, sizeof r) != sizeof r) _exit(2);
    _exit(0);
  }
  close(fd[1]);
  if (read(fd[0], &result, sizeof result) != sizeof result) result = T{};
  close(fd[0]);
  int status = 0;
  rusage u{};
  wait4(pid, &status, 0, &u);
  if (peakKb) *peakKb = u.ru_maxrss;
  return result;
}

}  // namespace bench
