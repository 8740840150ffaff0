#include "base/win/StringTable.h"

#include <windows.h>

namespace base::win {

std::string LoadStr(unsigned id) {
  // The table may be translated: grow the buffer until the text fits.
  for (std::string buf(256, '\0');; buf.resize(buf.size() * 2)) {
    int n = LoadStringA(GetModuleHandleA(nullptr), id, buf.data(), static_cast<int>(buf.size()));
    if (n <= 0) return std::string();
    if (static_cast<size_t>(n) + 1 < buf.size() || buf.size() >= 65536) return std::string(buf.data(), static_cast<size_t>(n));
  }
}

}  // namespace base::win
