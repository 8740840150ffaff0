#include "base/IniFile.h"

#include "base/Streams.h"
#include "base/Strings.h"

namespace base {

namespace {

// The profile functions' blanks: C white space and the old end-of-file mark.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string TrimBlanks(const std::string& s, size_t b, size_t e) {
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

}  // namespace

IniFile::IniFile(const std::string& fileName) {
  const std::vector<uint8_t> bytes = ReadFileBytes(fileName);
  Parse(std::string(bytes.begin(), bytes.end()));
}

IniFile IniFile::FromText(const std::string& text) {
  IniFile ini;
  ini.Parse(text);
  return ini;
}

void IniFile::Parse(const std::string& text) {
  size_t pos = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
  // Keys above the first header belong to a nameless section, as with the profile functions.
  sections_.emplace_back();
  index_.emplace(std::string(), 0);
  Section* current = &sections_.back();
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = TrimBlanks(text, pos, end);
    pos = end + 1;
    if (line.empty()) continue;
    if (line[0] == '[') {
      const size_t close = line.rfind(']');
      if (close != std::string::npos) {
        const std::string name = line.substr(1, close - 1);
        sections_.emplace_back();
        current = &sections_.back();
        index_.emplace(AnsiLowerCase(name), sections_.size() - 1);
        continue;
      }
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string name = TrimBlanks(line, 0, eq);
    auto [it, added] = current->values.emplace(AnsiLowerCase(name), TrimBlanks(line, eq + 1, line.size()));
    if (added) current->names.push_back(name);
  }
}

const IniFile::Section* IniFile::Find(const std::string& section) const {
  auto it = index_.find(AnsiLowerCase(section));
  return it == index_.end() ? nullptr : &sections_[it->second];
}

bool IniFile::SectionExists(const std::string& section) const {
  const Section* s = Find(section);
  return s && (!s->names.empty() || !section.empty());
}

bool IniFile::ValueExists(const std::string& section, const std::string& key) const {
  const Section* s = Find(section);
  return s && s->values.count(AnsiLowerCase(key)) != 0;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
  const Section* s = Find(section);
  if (!s) return def;
  auto it = s->values.find(AnsiLowerCase(key));
  if (it == s->values.end()) return def;
  const std::string& v = it->second;
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) return v.substr(1, v.size() - 2);
  return v;
}

int32_t IniFile::ReadInteger(const std::string& section, const std::string& key, int32_t def) const {
  long long v;
  if (!TryStrToInt(ReadString(section, key, std::string()), v)) return def;
  return static_cast<int32_t>(v);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

std::vector<std::string> IniFile::ReadSection(const std::string& section) const {
  const Section* s = Find(section);
  return s ? s->names : std::vector<std::string>();
}

}  // namespace base
