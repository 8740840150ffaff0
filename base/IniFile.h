// A read-only INI-style file with the Windows profile functions' reading rules, in
// portable code: section and key names ignore letter case, blanks around names and
// values go, one pair of matching quotes around a value goes, the first section and the
// first key of a name count, a line without "=" is no key. Lookups are hashed, so a
// section of many thousand keys reads as fast as a small one.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace base {

class IniFile {
public:
  // EFOpenError when the file cannot be opened.
  explicit IniFile(const std::string& fileName);
  static IniFile FromText(const std::string& text);

  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
  // Decimal, "$" or "0x" hexadecimal, 32 bits; def for anything else.
  int32_t ReadInteger(const std::string& section, const std::string& key, int32_t def) const;
  // A number other than 0 is true; def when the text is no number.
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;
  // The section's key names as written, in file order, each name once.
  std::vector<std::string> ReadSection(const std::string& section) const;

private:
  IniFile() = default;
  void Parse(const std::string& text);

  struct Section {
    std::vector<std::string> names;
    std::unordered_map<std::string, std::string> values;  // by lower-cased key name
  };
  const Section* Find(const std::string& section) const;
  std::vector<Section> sections_;
  std::unordered_map<std::string, size_t> index_;  // lower-cased name -> first section
};

}  // namespace base
