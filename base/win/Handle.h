// Owns a kernel handle (process, thread, file, search); closes it in the destructor.
#pragma once
#include <windows.h>

namespace base::win {

class Handle {
public:
  explicit Handle(HANDLE h = nullptr) : h_(h) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  void Reset(HANDLE h) { Close(); h_ = h; }
  void Close() {
    if (h_ && h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    h_ = nullptr;
  }
  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ && h_ != INVALID_HANDLE_VALUE; }

private:
  HANDLE h_;
};

// Owns a FindFirstFileA search.
class FindHandle {
public:
  explicit FindHandle(HANDLE h) : h_(h) {}
  ~FindHandle() { if (h_ != INVALID_HANDLE_VALUE) FindClose(h_); }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE; }

private:
  HANDLE h_;
};

}  // namespace base::win
