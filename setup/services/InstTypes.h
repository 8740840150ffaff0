// Plain types shared by the installation services and the project model.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

enum TUpdateMode : uint8_t { umNewerVersion, umMoreRecent, umAllways, umNever };

enum TWindowsVersion : uint8_t { wv95, wv98, wvNT4, wvNT5, wvOther };

// One bit per TWindowsVersion in enumeration order (wv95 is bit 0).
using TWindowsVersions = uint8_t;
constexpr TWindowsVersions AllWindowsVersions = 31;
constexpr TWindowsVersions WindowsVersionBit(TWindowsVersion v) {
  return static_cast<TWindowsVersions>(1u << static_cast<unsigned>(v));
}
constexpr bool HasWindowsVersion(TWindowsVersions set, TWindowsVersion v) {
  return (set & WindowsVersionBit(v)) != 0;
}

// Days since 1899-12-30, fraction = time of day (the class library's date-time value).
using TDateTime = double;

// Progress of an expansion (percentage done); may be empty.
using TProgressHandler = std::function<void(int32_t& percentageDone)>;

// Lines "name=value" looked up by name without regard to case (1252 letters folded).
class TNameValueList {
public:
  // Value of the first line of that name; empty text when there is none.
  std::string Value(const std::string& name) const;
  // Replaces the value of the first line of that name, or appends a line.
  void SetValue(const std::string& name, const std::string& value);
  int IndexOfName(const std::string& name) const;
  void Add(const std::string& name, const std::string& value) { lines_.emplace_back(name, value); }
  // Replaces the contents with "name=value" lines (text before the first "=" is the name).
  void SetText(const std::vector<std::string>& lines);
  void Clear() { lines_.clear(); }
  size_t Count() const { return lines_.size(); }
  const std::string& Name(size_t i) const { return lines_[i].first; }
  const std::string& ValueAt(size_t i) const { return lines_[i].second; }

private:
  std::vector<std::pair<std::string, std::string>> lines_;
};
