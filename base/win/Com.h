// A COM interface pointer released in the destructor, and COM start-up for one scope.
#pragma once
#include <objbase.h>

namespace base::win {

template <class T>
class ComPtr {
public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  void Reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  T** put() { Reset(); return &p_; }
  void** put_void() { return reinterpret_cast<void**>(put()); }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

private:
  T* p_ = nullptr;
};

// CoInitialize for the scope; uninitializes only when this call started COM.
class ComScope {
public:
  ComScope() : hr_(CoInitialize(nullptr)) {}
  ~ComScope() { if (SUCCEEDED(hr_)) CoUninitialize(); }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

private:
  HRESULT hr_;
};

}  // namespace base::win
