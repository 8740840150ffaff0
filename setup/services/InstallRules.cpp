#include "setup/services/InstallRules.h"

#include <set>

#include <cstring>

#include "base/Strings.h"
#include "resources/engine_strings.h"
#include "setup/services/InstGlobal.h"

// ---------------------------------------------------------------------------------------
// TNameValueList

int TNameValueList::IndexOfName(const std::string& name) const {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (base::AnsiSameText(lines_[i].first, name)) return static_cast<int>(i);
  return -1;
}

std::string TNameValueList::Value(const std::string& name) const {
  int i = IndexOfName(name);
  return i < 0 ? std::string() : lines_[i].second;
}

void TNameValueList::SetValue(const std::string& name, const std::string& value) {
  int i = IndexOfName(name);
  if (i < 0)
    lines_.emplace_back(name, value);
  else
    lines_[i].second = value;
}

void TNameValueList::SetText(const std::vector<std::string>& lines) {
  lines_.clear();
  for (const auto& line : lines) {
    size_t eq = line.find('=');
    if (eq == std::string::npos)
      lines_.emplace_back(line, std::string());
    else
      lines_.emplace_back(line.substr(0, eq), line.substr(eq + 1));
  }
}

// ---------------------------------------------------------------------------------------
// Macro expansion

std::string ReplaceTextIgnoringCase(const std::string& text, const std::string& piece,
                                    const std::string& value) {
  if (piece.empty()) return text;
  const std::string upText = base::AnsiUpperCase(text);
  const std::string upPiece = base::AnsiUpperCase(piece);
  std::string out;
  size_t from = 0;
  for (;;) {
    size_t at = upText.find(upPiece, from);
    if (at == std::string::npos) break;
    out.append(text, from, at - from);
    out += value;
    from = at + piece.size();
  }
  out.append(text, from, std::string::npos);
  return out;
}

namespace {

// One kind of bracket. A piece is replaced everywhere at once, so the next round starts
// again from the first opening bracket not yet found to be literal.
std::string ExpandBrackets(std::string text, char open, char close, const TMacroLookup& lookup) {
  size_t from = 0;  // brackets before this stand for themselves
  for (int round = 0; round < kMaxExpandRounds; ++round) {
    size_t start = text.find(open, from);
    if (start == std::string::npos) break;
    size_t end = text.find(close, start + 1);
    if (end == std::string::npos) break;  // unmatched: literal, and so is every later one
    const std::string piece = text.substr(start, end - start + 1);
    const std::string value = lookup ? lookup(piece) : std::string();
    if (base::AnsiSameText(value, piece)) {
      // A name that stands for itself would be found again and again.
      from = end + 1;
      continue;
    }
    // Every occurrence at once, giving up when the result would pass the cap.
    const std::string upText = base::AnsiUpperCase(text), upPiece = base::AnsiUpperCase(piece);
    std::string out;
    size_t at = start, last = 0;
    bool tooLong = false;
    while (at != std::string::npos) {
      out.append(text, last, at - last);
      out += value;
      last = at + piece.size();
      if (out.size() + (text.size() - last) > kMaxExpandedLength && value.size() > piece.size()) {
        tooLong = true;
        break;
      }
      at = upText.find(upPiece, last);
    }
    if (tooLong) break;
    out.append(text, last, std::string::npos);
    text = std::move(out);
  }
  return text;
}

}  // namespace

std::string ExpandMacroText(const std::string& text, const TMacroLookup& userLookup,
                            const TMacroLookup& dirLookup) {
  std::string s = ExpandBrackets(text, '[', ']', userLookup);
  return ExpandBrackets(s, '<', '>', dirLookup);
}

std::string ExtractFileDrive(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    // "\\server\share": up to the backslash after the share name.
    size_t server = path.find('\\', 2);
    if (server == std::string::npos) return path;
    size_t share = path.find('\\', server + 1);
    return share == std::string::npos ? path : path.substr(0, share);
  }
  return std::string();
}

// ---------------------------------------------------------------------------------------
// Update rule

TUpdateMode EffectiveUpdateRule(TUpdateMode rule, bool systemFolder) {
  return systemFolder ? umNewerVersion : rule;
}

bool ShouldWriteFile(TUpdateMode rule, const TUpdateFacts& f) {
  if (!f.DestExists) return true;
  switch (rule) {
    case umAllways: return true;
    case umMoreRecent: return f.EntryIsLater;
    case umNewerVersion: return f.HasVersion ? f.VersionIsOlder : f.EntryIsLater;
    case umNever: return false;
  }
  return false;
}

// ---------------------------------------------------------------------------------------
// Log lines

std::string FormatLogLine(TLogKeyword keyword, const std::string& argument) {
  return std::string(LogKeywordName(keyword)) + "=" + argument;
}

bool SplitLogLine(const std::string& line, std::string& keyword, std::string& argument) {
  size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  keyword = line.substr(0, eq);
  argument = line.substr(eq + 1);
  return true;
}

std::string IniValueLogArgument(const std::string& file, const std::string& section,
                                const std::string& key) {
  return file + "," + section + "," + key;
}

bool ParseIniValueArgument(const std::string& argument, std::string& file, std::string& section,
                           std::string& key) {
  size_t first = argument.find(',');
  if (first == std::string::npos) return false;
  size_t second = argument.find(',', first + 1);
  if (second == std::string::npos) return false;
  file = argument.substr(0, first);
  section = argument.substr(first + 1, second - first - 1);
  key = argument.substr(second + 1);
  return true;
}

std::string RegValueLogArgument(const std::string& fullKey, const std::string& valueName) {
  return "(" + fullKey + ")" + valueName;
}

bool ParseRegValueArgument(const std::string& argument, std::string& fullKey,
                           std::string& valueName) {
  if (argument.empty()) return false;
  const std::string rest = argument.substr(1);
  size_t close = rest.find(')');
  if (close == std::string::npos) return false;
  fullKey = rest.substr(0, close);
  valueName = rest.substr(close + 1);
  return true;
}

std::string MoveFileLogArgument(const std::string& file, const std::string& backup) {
  return file + ";" + backup;
}

std::string JoinLogLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& line : lines) {
    out += line;
    out += "\r\n";
  }
  return out;
}

// ---------------------------------------------------------------------------------------
// Package offset

int32_t FindPackageOffset(base::Stream& stream) {
  const size_t markerLen = std::strlen(kPackageMarker);
  std::vector<uint8_t> buffer(kPackageChunk);
  int64_t base = 0;
  for (;;) {
    stream.SetPosition(base);
    int32_t got = stream.Read(buffer.data(), kPackageChunk);
    if (got <= static_cast<int32_t>(markerLen)) return 0;
    for (int32_t i = 0; i + static_cast<int32_t>(markerLen) <= got; ++i) {
      if (std::memcmp(buffer.data() + i, kPackageMarker, markerLen) != 0) continue;
      uint8_t v[4];
      stream.SetPosition(base + i + static_cast<int64_t>(markerLen));
      if (stream.Read(v, 4) != 4) continue;
      int32_t value = static_cast<int32_t>(static_cast<uint32_t>(v[0]) | (static_cast<uint32_t>(v[1]) << 8) |
                                           (static_cast<uint32_t>(v[2]) << 16) |
                                           (static_cast<uint32_t>(v[3]) << 24));
      if (value != 0) return value;
    }
    if (got < kPackageChunk) return 0;  // the file ended inside this chunk
    base += got - static_cast<int64_t>(markerLen);
  }
}

// ---------------------------------------------------------------------------------------
// WININIT.INI

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string cur;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(cur);
      cur.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) lines.push_back(cur);
  return lines;
}

bool IsSectionHeader(const std::string& line, std::string* name) {
  std::string t = base::Trim(line);
  if (t.size() < 2 || t.front() != '[') return false;
  size_t close = t.find(']');
  if (close == std::string::npos) return false;
  if (name) *name = base::Trim(t.substr(1, close - 1));
  return true;
}

bool SplitIniLine(const std::string& line, std::string& key, std::string& value) {
  size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  key = base::Trim(line.substr(0, eq));
  value = base::Trim(line.substr(eq + 1));
  return true;
}

bool IsLine(const std::string& line, const std::string& key, const std::string& value) {
  std::string k, v;
  return SplitIniLine(line, k, v) && base::AnsiSameText(k, key) && base::AnsiSameText(v, value);
}

// The section's lines (header excluded) with add applied. Rename lines keep every "nul"
// line; an earlier pair that renames the same copy onto the same file is dropped, since
// its "nul" line would delete the copy put in place by the later pair. Error lines
// replace an earlier line of the same key, as the profile functions would.
void MergeSectionLines(std::vector<std::string>& body, const std::vector<TIniLine>& add,
                       bool replaceKeys) {
  for (const auto& l : add) {
    const bool isNul = base::SameText(l.Key, "nul");
    if (replaceKeys) {
      for (size_t i = 0; i < body.size(); ++i) {
        std::string k, v;
        if (SplitIniLine(body[i], k, v) && base::AnsiSameText(k, l.Key)) {
          body.erase(body.begin() + static_cast<std::ptrdiff_t>(i));
          break;
        }
      }
    } else if (!isNul) {
      // The new pair's own "nul" line is the last one in body; look only before it.
      size_t limit = body.size();
      if (limit > 0 && IsLine(body[limit - 1], "nul", l.Key)) --limit;
      for (size_t i = limit; i-- > 0;) {
        if (!IsLine(body[i], l.Key, l.Value)) continue;
        size_t first = i;
        if (i > 0 && IsLine(body[i - 1], "nul", l.Key)) first = i - 1;
        body.erase(body.begin() + static_cast<std::ptrdiff_t>(first),
                   body.begin() + static_cast<std::ptrdiff_t>(i + 1));
        limit -= i + 1 - first;
        i = first;
      }
    }
    body.push_back(l.Key + "=" + l.Value);
  }
}

void AppendToSection(std::vector<std::string>& lines, const std::string& section,
                     const std::vector<TIniLine>& add, bool replaceKeys) {
  if (add.empty()) return;
  size_t header = lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string name;
    if (IsSectionHeader(lines[i], &name) && base::SameText(name, section)) {
      header = i;
      break;
    }
  }
  if (header == lines.size()) {
    std::vector<std::string> body;
    MergeSectionLines(body, add, replaceKeys);
    lines.push_back("[" + section + "]");
    lines.insert(lines.end(), body.begin(), body.end());
    return;
  }
  // The section's lines up to its last non-empty one; blank lines after it stay after.
  size_t end = header + 1;
  while (end < lines.size() && !IsSectionHeader(lines[end], nullptr)) ++end;
  size_t at = end;
  while (at > header + 1 && base::Trim(lines[at - 1]).empty()) --at;
  std::vector<std::string> body(lines.begin() + static_cast<std::ptrdiff_t>(header + 1),
                                lines.begin() + static_cast<std::ptrdiff_t>(at));
  MergeSectionLines(body, add, replaceKeys);
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(header + 1),
              lines.begin() + static_cast<std::ptrdiff_t>(at));
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(header + 1), body.begin(), body.end());
}

}  // namespace

std::string AppendWininitLines(const std::string& existing, const std::vector<TIniLine>& renameLines,
                               const std::vector<TIniLine>& errorLines) {
  std::vector<std::string> lines = SplitLines(existing);
  AppendToSection(lines, "rename", renameLines, false);
  AppendToSection(lines, "Errors", errorLines, true);
  return JoinLogLines(lines);
}

std::string DefaultPendingCopy(const std::string& fileName) {
  return base::ChangeFileExt(fileName, ".New");
}

// ---------------------------------------------------------------------------------------
// Replacement

TReplaceResult ReplaceWithFresh(const TReplaceOps& ops, const std::string& dest, const std::string& fresh,
                                const std::string& aside) {
  if (!ops.Exists(dest)) return ops.Move(fresh, dest) ? TReplaceResult::Replaced : TReplaceResult::Failed;
  if (!ops.Move(dest, aside)) return TReplaceResult::InUse;
  if (!ops.Move(fresh, dest)) {
    ops.Move(aside, dest);
    return TReplaceResult::Failed;
  }
  if (ops.Remove(aside)) return TReplaceResult::Replaced;
  // Renamable but not removable: the old file stays in place until the restart.
  if (!ops.Move(dest, fresh)) {
    ops.RemoveAtRestart(aside);  // the new file holds the name
    return TReplaceResult::Replaced;
  }
  if (ops.Move(aside, dest)) return TReplaceResult::InUse;
  // Half put back: the name must not stay empty, and the old file is kept either way.
  ops.Move(fresh, dest);
  return TReplaceResult::Failed;
}

std::string ChoosePendingCopy(const std::string& preferred, const std::string& ownName,
                              const std::function<bool(const std::string&)>& taken) {
  return taken(preferred) ? ownName : preferred;
}

std::string FolderForFileOps(const std::string& fileName) {
  std::string folder = base::ExtractFilePath(fileName);
  if (folder.size() > 1 && folder.back() == '\\' && folder[folder.size() - 2] != ':' && folder != "\\")
    folder.pop_back();
  return folder;
}

// ---------------------------------------------------------------------------------------
// Result texts

namespace {
struct TResultText {
  int Code;
  int Id;
  const char* Text;
};
constexpr TResultText kResultTexts[] = {
    {irAddFileFailed, IDS_ERR_ADD_FILE, IDS_ERR_ADD_FILE_TEXT},
    {irBackupFailed, IDS_ERR_BACKUP, IDS_ERR_BACKUP_TEXT},
    {irInstallFailed, IDS_ERR_INSTALL_FILE, IDS_ERR_INSTALL_FILE_TEXT},
    {irShortcutFailed, IDS_ERR_SHORTCUT, IDS_ERR_SHORTCUT_TEXT},
    {irUninstallCreateFailed, IDS_ERR_CREATE_UNINSTALLER, IDS_ERR_CREATE_UNINSTALLER_TEXT},
    {irUninstallRemoveFailed, IDS_ERR_REMOVE_UNINSTALLER, IDS_ERR_REMOVE_UNINSTALLER_TEXT},
    {irOleInitFailed, IDS_ERR_OLE_INIT, IDS_ERR_OLE_INIT_TEXT},
    {irRegisterFailed, IDS_ERR_REGISTER_SERVER, IDS_ERR_REGISTER_SERVER_TEXT},
    {irUnregisterFailed, IDS_ERR_UNREGISTER_SERVER, IDS_ERR_UNREGISTER_SERVER_TEXT},
    {irServerFileMissing, IDS_ERR_FILE_MISSING, IDS_ERR_FILE_MISSING_TEXT},
    {irEntryPointMissing, IDS_ERR_REGISTER_SERVER, IDS_ERR_REGISTER_SERVER_TEXT},
    {irRegistryKeyFailed, IDS_ERR_REGISTRY, IDS_ERR_REGISTRY_TEXT},
    {irRegistryKeyExists, IDS_ERR_REGISTRY, IDS_ERR_REGISTRY_TEXT},
    {irRegistryKeyNotDeleted, IDS_ERR_REGISTRY, IDS_ERR_REGISTRY_TEXT},
    {irRegistryValueNotWritten, IDS_ERR_REGISTRY, IDS_ERR_REGISTRY_TEXT},
    {irRegistryValueNotDeleted, IDS_ERR_REGISTRY, IDS_ERR_REGISTRY_TEXT},
};
}  // namespace

int InstallResultStringId(int code) {
  for (const auto& r : kResultTexts)
    if (r.Code == code) return r.Id;
  return 0;
}

const char* InstallResultTemplate(int code) {
  for (const auto& r : kResultTexts)
    if (r.Code == code) return r.Text;
  return nullptr;
}

std::string FormatResultText(const std::string& templ, const std::string& fileName) {
  size_t at = templ.find("%s");
  if (at == std::string::npos) return templ;
  return templ.substr(0, at) + fileName + templ.substr(at + 2);
}

std::string FormatStringArgs(const std::string& templ, const std::vector<std::string>& args) {
  std::string out;
  size_t from = 0;
  for (const std::string& arg : args) {
    size_t at = templ.find("%s", from);
    if (at == std::string::npos) break;
    out.append(templ, from, at - from);
    out += arg;
    from = at + 2;
  }
  out.append(templ, from, std::string::npos);
  return out;
}

#ifndef _WIN32
std::string EngineString(int, const char* fallback) { return fallback ? fallback : ""; }
#endif

bool IsValidUninstallName(const std::string& appName) {
  return !appName.empty() && appName.find('\\') == std::string::npos;
}

std::vector<std::string> SplitLogText(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (end > start) lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> MergeUninstallLogs(const std::vector<std::string>& newer,
                                            const std::vector<std::string>& earlier) {
  std::vector<std::string> merged;
  std::set<std::string> seen;
  for (const auto* lines : {&newer, &earlier})
    for (const std::string& line : *lines)
      if (seen.insert(base::AnsiLowerCase(line)).second) merged.push_back(line);
  return merged;
}

std::vector<std::string> CountedTwice(const std::vector<std::string>& newer, const std::vector<std::string>& earlier) {
  const std::string keyword = "incusagecount=";
  std::set<std::string> before;
  for (const std::string& line : earlier) {
    const std::string l = base::AnsiLowerCase(line);
    if (l.compare(0, keyword.size(), keyword) == 0) before.insert(l);
  }
  std::vector<std::string> twice;
  std::set<std::string> done;
  for (const std::string& line : newer) {
    const std::string l = base::AnsiLowerCase(line);
    if (l.compare(0, keyword.size(), keyword) == 0 && before.count(l) && done.insert(l).second)
      twice.push_back(line.substr(keyword.size()));
  }
  return twice;
}
