// Where the engine lives on after a setup: the uninstall command of every product runs
// the engine it was installed with, from "<Windows>\TandrelInstall\<content hash>\"
// (under %APPDATA% when the Windows folder cannot take it). The engine puts itself there
// when it writes the uninstall entry, and the uninstall of the last product whose entry
// names it takes it away again.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

constexpr const char* kEngineHomeFolder = "TandrelInstall";
constexpr const char* kEngineFileName = "TandrelInstall.exe";

// 64-bit FNV-1a of the bytes: names the engine's folder (never trusted for equality).
uint64_t EngineContentHash(const std::vector<uint8_t>& bytes);
// 16 upper-case hex digits.
std::string EngineFolderName(uint64_t hash);
// "...\TandrelInstall\<16 hex digits>[-n]\TandrelInstall.exe", ignoring case.
bool IsKeptEnginePath(const std::string& file);
// True when an uninstall command runs that engine file (quoted, ignoring case).
bool UninstallStringNames(const std::string& uninstallString, const std::string& engine);

// The uninstall of a kept engine runs from a copy in the temp folder, so that the kept
// engine and its folders go at once and only the copy, one file, waits for the restart
// (the 95 family's WININIT.INI deletes files, not folders). The kept engine starts the
// copy with its own arguments and two more, "/KEPT=" + itself and "/RESULT=" + the
// handles of a pipe and of its own process, and ends with the exit code the copy sends.
struct TEngineCopyArgs {
  std::string KeptEngine;  // empty when this run is no copy's
  uintptr_t ResultPipe = 0;
  uintptr_t FirstPhase = 0;
};
TEngineCopyArgs ReadEngineCopyArgs(const std::vector<std::string>& args);
std::string EngineCopyResultArg(uintptr_t pipe, uintptr_t process);
// The copies' names in the temp folder: "ZmU" + hex digits + ".tmp", short names both.
constexpr const char* kEngineCopyPrefix = "ZmU";
bool IsEngineCopyName(const std::string& fileName);

#ifdef _WIN32
// The engine's lasting copy for engineFile, made when missing; an existing copy is used
// only when its bytes equal the engine's. Empty when no home could take it.
std::string KeepEngine(const std::string& engineFile);
// True when an uninstall entry other than appName's runs engine.
bool EngineNamedByOtherEntries(const std::string& engine, const std::string& appName);
// Takes the kept engine away: deleted now when it can be, else moved aside at once and
// deleted with its folders at the next start of Windows (on NT; the 95 family's caller
// schedules *aside itself). aside receives the file still waiting, empty when none. The
// deletion is tried attempts times, 50 ms apart (a program just ended may hold it a moment).
void ReleaseKeptEngine(const std::string& engine, bool nt, std::string* aside = nullptr, int attempts = 1);

// In the kept engine: runs the uninstall (args, the program left out) from a copy in the
// temp folder and gives its exit code. False when no copy could start.
bool RunFromEngineCopy(const std::string& engine, const std::vector<std::string>& args, int& exitCode);
// In the copy: sends the exit code to the kept engine and waits until it has ended, so that
// it can be deleted. Nothing when this run is no copy's.
void HandBackResult(const TEngineCopyArgs& copy, int exitCode);
// True when copy is a file of the temp folder that holds the bytes of engine.
bool IsEngineCopyOf(const std::string& copy, const std::string& engine);
#endif
