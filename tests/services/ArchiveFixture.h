// Archives built byte by byte for the reader's tests: the little-endian layout written
// out by hand, independent of the compression unit's own encoders.
#pragma once
#include <cstdint>
#include <string>

namespace fixture {

inline std::string Le16(int v) {
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}
inline std::string Le32(int64_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  return std::string{static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
                     static_cast<char>((u >> 16) & 0xFF), static_cast<char>((u >> 24) & 0xFF)};
}

// 21 bytes: "VELT" 0x1A, method ID, total expanded size, type, checksum 0, lock 0.
inline std::string Header(int32_t total, const std::string& id = "NON", char type = 1) {
  return std::string("VELT\x1A", 5) + id.substr(0, 3) + Le32(total) + std::string(1, type) + Le32(0) +
         Le32(0);
}

struct Entry {
  std::string Name;
  std::string Data;                // stored bytes
  int32_t Date = 0x2A214000;       // 2001-01-01 08:00:00
  uint16_t Attr = 0x20;
  int32_t Expanded = -1;           // -1: the data's length
  int32_t Compressed = -1;         // -1: the data's length
  uint8_t Method = 0;
  int32_t Checksum = 0;
  int32_t Locked = 0;
  int NameLength = -1000;          // -1000: the name's length
};

inline std::string Record(const Entry& e) {
  const int32_t exp = e.Expanded == -1 ? static_cast<int32_t>(e.Data.size()) : e.Expanded;
  const int32_t comp = e.Compressed == -1 ? static_cast<int32_t>(e.Data.size()) : e.Compressed;
  const int nameLen = e.NameLength == -1000 ? static_cast<int>(e.Name.size()) : e.NameLength;
  return Le16(nameLen) + Le32(e.Date) + Le16(e.Attr) + Le32(exp) + Le32(comp) +
         std::string(1, static_cast<char>(e.Method)) + Le32(e.Checksum) + Le32(e.Locked) + e.Name + e.Data;
}

// A stored archive of the given entries with the right total.
inline std::string Archive(const std::initializer_list<Entry>& entries) {
  int64_t total = 0;
  std::string body;
  for (const auto& e : entries) {
    total += e.Expanded == -1 ? static_cast<int64_t>(e.Data.size()) : e.Expanded;
    body += Record(e);
  }
  return Header(static_cast<int32_t>(total)) + body;
}

}  // namespace fixture
