#include "base/Strings.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>

namespace base {

unsigned char AnsiUpperChar(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  switch (c) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
    default: return c;
  }
}

unsigned char AnsiLowerChar(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
  }
}

static unsigned char AsciiUpper(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }
static unsigned char AsciiLower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

template <typename Fold>
static int CompareFolded(const std::string& a, const std::string& b, Fold fold) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    int d = fold(static_cast<unsigned char>(a[i])) - fold(static_cast<unsigned char>(b[i]));
    if (d != 0) return d;
  }
  return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

int CompareText(const std::string& a, const std::string& b) { return CompareFolded(a, b, AsciiUpper); }
bool SameText(const std::string& a, const std::string& b) { return a.size() == b.size() && CompareText(a, b) == 0; }
int AnsiCompareText(const std::string& a, const std::string& b) { return CompareFolded(a, b, AnsiLowerChar); }
bool AnsiSameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && AnsiCompareText(a, b) == 0;
}

template <typename Fold>
static std::string Map(const std::string& s, Fold fold) {
  std::string r(s);
  for (auto& c : r) c = static_cast<char>(fold(static_cast<unsigned char>(c)));
  return r;
}

std::string UpperCase(const std::string& s) { return Map(s, AsciiUpper); }
std::string LowerCase(const std::string& s) { return Map(s, AsciiLower); }
std::string AnsiUpperCase(const std::string& s) { return Map(s, AnsiUpperChar); }
std::string AnsiLowerCase(const std::string& s) { return Map(s, AnsiLowerChar); }

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

std::string IntToStr(long long v) { return std::to_string(v); }

std::string IntToHex(uint64_t v, int digits) {
  char buf[16];
  int n = 0;
  do {
    buf[n++] = "0123456789ABCDEF"[v & 15];
    v >>= 4;
  } while (v != 0 && n < 16);
  std::string s(digits > n ? static_cast<size_t>(digits - n) : 0, '0');
  while (n > 0) s += buf[--n];
  return s;
}

bool TryStrToInt(const std::string& text, long long& out) {
  std::string s = Trim(text);
  size_t i = 0;
  bool neg = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') { base = 16; ++i; }
  else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) { base = 16; i += 2; }
  if (i >= s.size()) return false;
  unsigned long long v = 0;
  for (; i < s.size(); ++i) {
    int d;
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && std::isxdigit(c)) d = std::tolower(c) - 'a' + 10;
    else return false;
    v = v * base + d;
    if (v > 0xFFFFFFFFull) return false;
  }
  long long r = neg ? -static_cast<long long>(v) : static_cast<long long>(v);
  if (base == 10 && (r > 2147483647LL || r < -2147483648LL)) return false;
  if (base == 16 && !neg && v > 0x7FFFFFFF) r = static_cast<int32_t>(static_cast<uint32_t>(v));
  out = r;
  return true;
}

long long StrToIntDef(const std::string& s, long long def) {
  long long v;
  return TryStrToInt(s, v) ? v : def;
}

size_t PosText(const std::string& needle, const std::string& hay, size_t from) {
  if (needle.empty()) return from <= hay.size() ? from : std::string::npos;
  for (size_t i = from; i + needle.size() <= hay.size(); ++i) {
    size_t k = 0;
    while (k < needle.size() && AsciiUpper(static_cast<unsigned char>(hay[i + k])) ==
                                    AsciiUpper(static_cast<unsigned char>(needle[k])))
      ++k;
    if (k == needle.size()) return i;
  }
  return std::string::npos;
}

std::string IncludeTrailingBackslash(const std::string& s) {
  return (!s.empty() && s.back() == '\\') ? s : s + "\\";
}

std::string ExcludeTrailingBackslash(const std::string& s) {
  return (!s.empty() && s.back() == '\\') ? s.substr(0, s.size() - 1) : s;
}

static size_t LastDelimiter(const std::string& path) {
  size_t p = path.find_last_of("\\/:");
  return p;
}

std::string ExtractFileName(const std::string& path) {
  size_t p = LastDelimiter(path);
  return p == std::string::npos ? path : path.substr(p + 1);
}

std::string ExtractFilePath(const std::string& path) {
  size_t p = LastDelimiter(path);
  return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string ExtractFileExt(const std::string& path) {
  size_t p = path.find_last_of(".\\/:");
  return (p != std::string::npos && path[p] == '.') ? path.substr(p) : std::string();
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  size_t p = path.find_last_of(".\\/:");
  if (p == std::string::npos || path[p] != '.') return path + ext;
  return path.substr(0, p) + ext;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

}  // namespace base
