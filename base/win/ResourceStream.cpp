#include "base/win/ResourceStream.h"

#include "base/Exceptions.h"

namespace base::win {

static const void* Locate(HMODULE module, const std::string& name, const char* type, DWORD& size) {
  HRSRC info = FindResourceA(module, name.c_str(), type);
  HGLOBAL data = info ? LoadResource(module, info) : nullptr;
  if (!data) throw EResNotFound("Resource " + name + " not found");
  size = SizeofResource(module, info);
  return LockResource(data);
}

ResourceStream::ResourceStream(HMODULE module, const std::string& name, const char* type)
    : ReadOnlyMemoryStream(nullptr, 0) {
  DWORD size = 0;
  const void* p = Locate(module, name, type, size);
  *static_cast<ReadOnlyMemoryStream*>(this) = ReadOnlyMemoryStream(p, size);
}

}  // namespace base::win
