// What the project model needs from the machine: file facts, macros, programs, DLL
// calls, message boxes and the busy cursor. The Windows build installs a Win32 side;
// native tests install fakes. Model logic only goes through Platform().
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "setup/model/InstModelTypes.h"

namespace model {

struct FileFacts {
  bool found = false;        // a directory search found the file
  int32_t size = -1;         // -1 when not found
  TDateTime date = 0;        // last write, 0 when missing
  std::string fileVersion;   // "FileVersion" of the version resource, empty when none
  bool oleSelfRegister = false;
};

// The 1024-byte folder buffer and the other texts handed to a DLL extension.
constexpr int kExtensionBufferSize = 1024;
struct DllCallArgs {
  TWindowHandle parentWnd = 0;
  TWindowHandle dialogWnd = 0;
  char* folder = nullptr;  // kExtensionBufferSize writable bytes, zero-terminated
  const char* supportDir = "";
  const char* userName = "";
  const char* userCompany = "";
};

enum class DllCallStatus { Ok, LoadFailed, NotExported, Faulted };
struct DllCallResult {
  DllCallStatus status = DllCallStatus::Ok;
  uint32_t value = 0;       // the function's raw result (only the low 16 bits count)
  std::string faultText;    // what went wrong inside the function when Faulted
};

struct PlatformServices {
  std::function<FileFacts(const std::string& fileName)> probeFile;
  std::function<std::string(const std::string& text)> expandMacros;
  std::function<std::string(const std::string& name)> getDirMacro;
  std::function<void(const std::string& name, const std::string& value)> setDirMacro;
  // Starts a program or opens a document; waits when asked; the result is ignored here.
  std::function<int(const std::string& file, const std::string& params, bool wait,
                    TWindowHandle parentWnd)> runProgram;
  // Loads the library, calls the stdcall export with six arguments, frees the library.
  std::function<DllCallResult(const std::string& library, const std::string& function,
                              const DllCallArgs& args)> callDll;
  std::function<void(const std::string& text)> showInformation;
  std::function<void(const std::string& text)> showError;
  std::function<void()> beginBusyCursor;
  std::function<void()> endBusyCursor;
  std::function<int()> currentYear;
  // Puts a finished file in place of target (replacing it); false on failure.
  std::function<bool(const std::string& finished, const std::string& target)> replaceFile;
  std::function<void(const std::string& fileName)> deleteFile;
};

// The services in force. Starts with the build's own side: Win32 on Windows, a portable
// side elsewhere (stat for file facts, a macro table in memory, no programs or DLLs).
PlatformServices& Platform();
// The side the build starts with, to restore after a test replaced parts of it.
PlatformServices DefaultPlatform();

// The portable macro table behind the default expandMacros/getDirMacro/setDirMacro:
// names with their brackets, both kinds ignoring case, expanded by the installation
// services' expander; an unknown name becomes empty text.
// Routes the three macro services to an in-memory table (no system folders).
void UsePortableMacros(PlatformServices& p);

}  // namespace model
