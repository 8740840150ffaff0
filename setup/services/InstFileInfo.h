// File information and small services: file dates and version resources, version
// comparison, size texts, shortened paths, program folders, the remembered user name
// and company, starting a program through the shell.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "setup/services/InstTypes.h"

#ifdef _WIN32
#include <windows.h>
#endif

// True when NewVersion is the newer of two dotted version texts. Parts compare as decimal
// numbers (a part that is not a number counts 0, a missing part counts 0); two empty texts
// give true.
bool IsVersionOlder(const std::string& OldVersion, const std::string& NewVersion);

// Bytes / 1024 rounded (halves away from zero), digits grouped by three with the given
// separator, then " K": 1536 -> "2 K", 10 MB -> "10,240 K".
std::string FormatSizeKText(int64_t Bytes, const std::string& ThousandSeparator);

// A packed file date (date in the high word, time in the low word, local time) as a
// date-time value; 0 for a date whose fields are out of range.
TDateTime DosDateTimeToDateTime(uint32_t DosDateTime);

// "\StringFileInfo\" + language and code page as 8 upper-case hex digits + "\" + name.
std::string VersionStringPath(uint16_t Language, uint16_t CodePage, const std::string& Name);

// The user's thousands separator (the native build uses ",").
std::string FormatSizeK(int32_t Bytes);
std::string FormatSizeK64(int64_t Bytes);

#ifdef _WIN32
// Last-write date (local time, 2-second steps); 0 when the file does not exist.
TDateTime GetFileDate(const std::string& FileName);
// The same date from a directory search's entry; 0 for a folder.
TDateTime FindDataDate(const WIN32_FIND_DATAA& Found);
// Whether the file can hold a version resource at all: every Windows executable starts
// with "MZ". Asking the version API about other files costs far more under Wine.
bool MayHoldVersionInfo(const std::string& FileName);
// True when the version resource could be read; a string it lacks comes back empty.
// A missing file leaves the outputs as they were.
bool GetVersionInfo(const std::string& FileName, std::string& ProductName, std::string& ProductVersion,
                    std::string& FileVersion, std::string& CompanyName, bool& OLESelfRegister);
// The "FileVersion" text; empty when there is none.
std::string GetFileVersion(const std::string& FileName);

// Path shortened with an ellipsis to fit the client area of the label window, in its font.
std::string MinimizePathForLabel(HWND Label, const std::string& Path);

// Names of the plain sub-folders of the Programs menu folder, in search order.
void GetProgramFolders(std::vector<std::string>& List);

// HKLM "Software\<company>\<application>\<version>" values "Name" and "Company".
void ReadUserInfo(const std::string& CompanyName, const std::string& ApplicationName,
                  const std::string& ApplicationVersion, std::string& UserName, std::string& UserCompany);
// False when the key could not be opened or a value not written. Notes what it changes
// (the keys it makes, the values it replaces) for TakeBackUserInfo; a second write to the
// same key keeps the notes of the first.
bool WriteUserInfo(const std::string& CompanyName, const std::string& ApplicationName,
                   const std::string& ApplicationVersion, const std::string& UserName,
                   const std::string& UserCompany);
// Puts back what the noted write changed: the values as they were before it, and the keys
// it made, deepest first, each while nothing else is in it. The notes are then dropped.
void TakeBackUserInfo();
// Drops the notes: what was written stays.
void ForgetUserInfo();

// Opens FileName with the verb "Open". With Wait, blocks (peeking at messages) until the
// program ends and returns its exit code; without, returns 0 once started. -1 on failure.
int RunProgram(const std::string& FileName, const std::string& Params, int ShowCmd, HWND ParentWnd,
               bool Wait);
#endif
