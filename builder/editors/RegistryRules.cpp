#include "builder/editors/RegistryRules.h"

#include "base/Strings.h"
#include "setup/services/InstGlobal.h"

namespace {

bool SameTextAt(const std::string& text, size_t at, const std::string& part) {
  return at + part.size() <= text.size() && base::SameText(text.substr(at, part.size()), part);
}

}  // namespace

std::string NewItemName(const std::string& stem, const TNameList& siblings, const std::string& suffix) {
  // One pass over the siblings: with n siblings the answer is at most n + 1.
  std::vector<bool> taken(siblings.size() + 2, false);
  for (const std::string& name : siblings) {
    if (name.size() <= stem.size() + suffix.size() || !SameTextAt(name, 0, stem) ||
        !SameTextAt(name, name.size() - suffix.size(), suffix))
      continue;
    const std::string digits = name.substr(stem.size(), name.size() - stem.size() - suffix.size());
    // Only the number's own spelling names it: "#01" and "#1 " are other names.
    if (digits[0] == '0' || digits.size() > 9) continue;
    size_t n = 0;
    bool number = true;
    for (char c : digits) {
      if (c < '0' || c > '9') { number = false; break; }
      n = n * 10 + static_cast<size_t>(c - '0');
    }
    if (number && n < taken.size()) taken[n] = true;
  }
  size_t n = 1;
  while (taken[n]) ++n;
  return stem + std::to_string(n) + suffix;
}

std::optional<int32_t> DWordFromText(const std::string& text) {
  std::string s = text;
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  // The library reads "x1F" as "$1F"; TryStrToInt knows "$" and "0x".
  if (i < s.size() && (s[i] == 'x' || s[i] == 'X')) s[i] = '$';
  long long v = 0;
  if (!base::TryStrToInt(s, v)) return std::nullopt;
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned long long>(v)));
}

bool IsFixedIniFile(const std::string& nodeText) {
  return nodeText == "WIN.INI" || nodeText == "SYSTEM.INI" || nodeText == "PROTOCOL.INI";
}

int ValueImageIndex(TTandrelValueType style) { return style == vtString ? 2 : 3; }

std::string ProjectFileReference(const std::string& group, const std::string& fileName) {
  return "[" + group + "]\\" + base::ExtractFileName(fileName);
}

std::string GroupFolderReference(const std::string& group) { return "[" + group + "]"; }

TNameList StartInFolders(const TNameList& instFolders) {
  TNameList list;
  // The table's order, as it stands where both system keys exist.
  TSystemFolders folders;
  folders.CurrentVersionKey = true;
  folders.ShellFoldersKey = true;
  const TNameValueList macros = BuildDirMacros(folders);
  for (size_t i = 0; i < macros.Count(); ++i) list.push_back(macros.Name(i));
  for (const std::string& line : instFolders) list.push_back(line.substr(0, line.find('=')));
  return list;
}

std::string DescriptionFromVersion(const std::string& productName, const std::string& sourceFile) {
  if (!productName.empty()) return productName;
  return base::ChangeFileExt(base::ExtractFileName(sourceFile), "");
}

std::string StoredSourceFile(const std::string& picked, const std::string& command) {
  return picked.empty() ? command : picked;
}
