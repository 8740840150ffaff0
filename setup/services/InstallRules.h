// Decisions of the installation services as plain functions over plain data: macro
// expansion, the update rule, uninstall log lines, the package marker search, the
// "WININIT.INI" rename section and the result texts. The Win32 layer gathers the inputs.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/Streams.h"
#include "setup/services/InstTypes.h"

// ---------------------------------------------------------------------------------------
// Macro expansion.

using TMacroLookup = std::function<std::string(const std::string& name)>;

// Bounds that keep a self-referring value from growing or looping without end.
constexpr int kMaxExpandRounds = 64;
constexpr size_t kMaxExpandedLength = 32768;

// Replaces every "[name]" piece through userLookup, then every "<name>" piece through
// dirLookup, each round taking the first opening bracket and the first closing one after
// it and replacing all occurrences of that piece, ignoring case. An opening bracket with
// no closing one after it is literal text, and so is a piece whose value is the piece
// itself. Stops after kMaxExpandRounds rounds per kind, or when a replacement would pass
// kMaxExpandedLength.
std::string ExpandMacroText(const std::string& text, const TMacroLookup& userLookup,
                            const TMacroLookup& dirLookup);

// Replaces all occurrences of piece in text, ignoring case (1252 letters folded).
std::string ReplaceTextIgnoringCase(const std::string& text, const std::string& piece,
                                    const std::string& value);

std::string ExtractFileDrive(const std::string& path);  // "C:" or "\\server\share"

// ---------------------------------------------------------------------------------------
// Update rule.

// A system folder turns every rule into umNewerVersion.
TUpdateMode EffectiveUpdateRule(TUpdateMode rule, bool systemFolder);

struct TUpdateFacts {
  bool DestExists = false;
  bool HasVersion = false;     // the existing file has a "FileVersion"
  bool VersionIsOlder = false; // IsVersionOlder(existing version, recorded version)
  bool EntryIsLater = false;   // the entry's date is later than the existing file's
};
// True when the file is to be written.
bool ShouldWriteFile(TUpdateMode rule, const TUpdateFacts& facts);

// ---------------------------------------------------------------------------------------
// Uninstall log lines.

enum class TLogKeyword;  // InstGlobal.h
std::string FormatLogLine(TLogKeyword keyword, const std::string& argument);
// Keyword = text before the first "=", argument = the rest; false for a line without "=".
bool SplitLogLine(const std::string& line, std::string& keyword, std::string& argument);

// "CreateIniValue=" argument: file "," section "," key.
std::string IniValueLogArgument(const std::string& file, const std::string& section,
                                const std::string& key);
// Split at the first "," and the next one; the rest (commas included) is the key.
bool ParseIniValueArgument(const std::string& argument, std::string& file, std::string& section,
                           std::string& key);
// "AddRegValue=" argument: "(" full key ")" value name.
std::string RegValueLogArgument(const std::string& fullKey, const std::string& valueName);
// Drops the first character; the key runs to the first ")", the value name is the rest.
bool ParseRegValueArgument(const std::string& argument, std::string& fullKey,
                           std::string& valueName);
// "MoveFile=" argument: file ";" backup copy.
std::string MoveFileLogArgument(const std::string& file, const std::string& backup);

// Lines joined with CR LF after each one.
std::string JoinLogLines(const std::vector<std::string>& lines);
// The lines of a saved log (CR LF, CR or LF ends; no empty lines).
std::vector<std::string> SplitLogText(const std::string& text);

// A reinstall into the folder of an earlier installation keeps what the earlier log
// holds: the new lines first, then each earlier line the new ones lack (ignoring case),
// one line per item, newest first within each.
std::vector<std::string> MergeUninstallLogs(const std::vector<std::string>& newer,
                                            const std::vector<std::string>& earlier);
// Files whose shared count both logs raised: counted twice for one product.
std::vector<std::string> CountedTwice(const std::vector<std::string>& newer, const std::vector<std::string>& earlier);

// ---------------------------------------------------------------------------------------
// Package offset.

constexpr const char* kPackageMarker = "ZEM_SIZE";
constexpr int32_t kPackageChunk = 16384;
// The first non-zero little-endian 32-bit value behind the marker, searched in chunks
// that overlap by 8 bytes from the stream's start; 0 when there is none.
int32_t FindPackageOffset(base::Stream& stream);

// ---------------------------------------------------------------------------------------
// Replacement at restart.

struct TIniLine {
  std::string Key;
  std::string Value;
};
// existing with the rename lines appended to its "[rename]" section and the error lines
// to its "[Errors]" section (each made when missing); CR LF line ends. Rename lines are
// added as given, so several "nul" keys stay; an earlier identical rename line goes,
// with the "nul" line just before it, so that a second install of the same file before
// the restart does not delete its own copy. An error line replaces one of the same key.
std::string AppendWininitLines(const std::string& existing, const std::vector<TIniLine>& renameLines,
                               const std::vector<TIniLine>& errorLines);

// "FOO.New" beside "FOO.DLL" ("FOO" gives "FOO.New").
std::string DefaultPendingCopy(const std::string& fileName);

// ---------------------------------------------------------------------------------------
// Putting a finished copy in place of a file.

// The file operations the replacement needs; the Win32 layer gives the real ones.
struct TReplaceOps {
  std::function<bool(const std::string& name)> Exists;
  std::function<bool(const std::string& from, const std::string& to)> Move;  // never replaces
  std::function<bool(const std::string& name)> Remove;
  std::function<void(const std::string& name)> RemoveAtRestart;
};
enum class TReplaceResult {
  Replaced,  // fresh is at dest's name, the old file gone or going at restart
  InUse,     // the old file is still at its name, fresh still at its own
  Failed,    // not replaced; the old file is at its name when it could be put back
};
// Moves the old file to aside (a free name), fresh to dest, and drops the old file.
// An old file that can be renamed but not removed (a running module) is put back and
// InUse given. When putting back only half works, the result is a failure, never
// success with dest missing; the old file is never removed unless fresh took its name.
TReplaceResult ReplaceWithFresh(const TReplaceOps& ops, const std::string& dest, const std::string& fresh,
                                const std::string& aside);

// The name a copy in use waits under until the restart: preferred unless a file of that
// name exists or the restart list claims it (taken), else the copy's own name.
std::string ChoosePendingCopy(const std::string& preferred, const std::string& ownName,
                              const std::function<bool(const std::string&)>& taken);

// The folder of a file as a path the file functions take: "C:\x.dll" gives "C:\", not
// "C:" (which names the drive's current folder); "" for a name without a folder.
std::string FolderForFileOps(const std::string& fileName);

// ---------------------------------------------------------------------------------------
// Result texts.

int InstallResultStringId(int code);            // 0 for codes without a text
const char* InstallResultTemplate(int code);    // nullptr for codes without a text
// The first "%s" of templ replaced by fileName, once; the name is copied unchanged.
std::string FormatResultText(const std::string& templ, const std::string& fileName);
// Each "%s" of templ, in order, replaced by the next of args (copied unchanged); a
// "%s" beyond the args stays.
std::string FormatStringArgs(const std::string& templ, const std::vector<std::string>& args);

// A text of the engine's string table: the program's own table on Windows (so that a
// translated table is used), the compiled-in fallback elsewhere or when it is missing.
std::string EngineString(int id, const char* fallback);

// True for a name that can stand under the Uninstall key: not empty, no "\".
bool IsValidUninstallName(const std::string& appName);
