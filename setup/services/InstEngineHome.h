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

#ifdef _WIN32
// The engine's lasting copy for engineFile, made when missing; an existing copy is used
// only when its bytes equal the engine's. Empty when no home could take it.
std::string KeepEngine(const std::string& engineFile);
// True when an uninstall entry other than appName's runs engine.
bool EngineNamedByOtherEntries(const std::string& engine, const std::string& appName);
// Takes the kept engine away: deleted now when it can be, else moved aside at once and
// deleted with its folders at the next start of Windows (on NT; the 95 family's caller
// schedules *aside itself). aside receives the file still waiting, empty when none.
void ReleaseKeptEngine(const std::string& engine, bool nt, std::string* aside = nullptr);
#endif
