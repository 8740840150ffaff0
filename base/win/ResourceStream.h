// Read-only stream over a resource of a loaded module (the class library's TResourceStream).
#pragma once
#include <windows.h>

#include <string>

#include "base/Streams.h"

namespace base::win {

class ResourceStream : public ReadOnlyMemoryStream {
public:
  // EResNotFound "Resource <name> not found" when the module has no such resource.
  ResourceStream(HMODULE module, const std::string& name, const char* type);
};

// Owns a module from LoadLibraryA; frees it in the destructor.
class Library {
public:
  explicit Library(HMODULE h = nullptr) : h_(h) {}
  ~Library() { if (h_) FreeLibrary(h_); }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  HMODULE get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

private:
  HMODULE h_;
};

}  // namespace base::win
