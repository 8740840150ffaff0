// Shortcuts, INI values and registry actions of the setup engine, and the removing
// operations the uninstaller uses. Every creating operation logs what it made.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/Exceptions.h"

// INI writes that fail: "Unable to write to <file>".
TANDREL_EXCEPTION(EIniFileException, base::Exception);

// The "Shell Folders" value that names the folder of a shortcut group type (TPMGroupType of
// the project model, by ordinal); nullptr outside the table.
const char* ShellFolderValueName(int GroupType);

// Registry roots in the order they are tested.
enum class TRegRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig, DynData };
// A full key path split into its root and the key path under it (leading and trailing
// backslashes removed). False when the path does not begin with a root name (exact case)
// followed by "\" or the end of the text.
bool ParseFullKey(const std::string& FullKey, TRegRoot& Root, std::string& SubKey);

// The bytes that a hex text stands for: pairs of hex digits, blanks (space, tab, CR, LF)
// ignored between bytes. False for any other character or an odd digit count.
bool ParseHexBinary(const std::string& Text, std::string& Bytes);

// The shortcut folder: Base, plus "\" + ProgramFolder when that is given; no trailing "\".
std::string ShortcutFolder(const std::string& Base, const std::string& ProgramFolder);
// Every folder from the outermost below the drive (or "\\server\share") down to Folder
// itself, e.g. C:\a\b gives C:\a, C:\a\b.
std::vector<std::string> FolderLevels(const std::string& Folder);

#ifdef _WIN32
// 0 or 103. The folder is the group type's shell folder, plus ProgramFolder when given.
int CreateShortcut(const std::string& Caption, const std::string& FileName, const std::string& Params,
                   const std::string& WorkingDir, int GroupType, const std::string& ProgramFolder);

// Always 0; a failing write raises EIniFileException. Empty section or key does nothing.
// Logs "CreateIniValue=" only for a key the file did not hold: the uninstall must not
// take away what was there before.
int WriteIniValue(const std::string& FileName, const std::string& Section, const std::string& Key,
                  const std::string& Value);
int DeleteIniValue(const std::string& FileName, const std::string& Section, const std::string& Key);

// 0 created, 112 existed, 111 bad root or not created. Logs "CreateRegKey=" for every key
// level it made, outermost first, so that no empty parent stays after the uninstall.
int CreateRegistryKey(const std::string& FullKey);
// 0, 111 or 114; logs "AddRegValue=(" + FullKey + ")" + ValueName when the value did not
// exist before. A failing string or integer write raises ERegistryException.
int WriteRegString(const std::string& FullKey, const std::string& ValueName, const std::string& Value);
int WriteRegInteger(const std::string& FullKey, const std::string& ValueName, int32_t Value);
// Data is hex text ("01 02 ff"); malformed text gives 114 and touches nothing.
int WriteRegBinary(const std::string& FullKey, const std::string& ValueName, const std::string& Data);
// 0 or 115.
int DeleteRegValue(const std::string& FullKey, const std::string& ValueName);
// 0 or 113; deletes sub-keys too. A root alone is refused (113).
int DeleteRegKey(const std::string& FullKey);
// 0 or 113; deletes the key only when it has no sub-keys.
int DeleteEmptyRegKey(const std::string& FullKey);
// True when the key exists (a root alone included).
bool RegistryKeyExists(const std::string& FullKey);
// Logs "UninstallKey=" + FullKey.
void LogUninstallKey(const std::string& FullKey);
#endif
