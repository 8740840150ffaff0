// Self-registration of installed servers: type libraries, programs that register from
// their command line, and DLLs exporting DllRegisterServer/DllUnregisterServer.
#pragma once
#include <string>

// 1 for ".TLB", 2 for ".EXE" (ignoring case), 0 for anything else (a DLL server).
int GetServerKind(const std::string& FileName);

// Command line of a program server: the quoted path, then " /regserver" or " /unregserver".
std::string ExeServerCommandLine(const std::string& FileName, bool Unregister);

#ifdef _WIN32
// 109 when the file does not exist, else RegisterServer; logs "RegisterFile=" on 0;
// anything unexpected gives 107.
int RegisterServerFile(const std::string& FileName);
// 109 when the file does not exist, else UnregisterServer; 108 for anything unexpected.
int UnregisterServerFile(const std::string& FileName);

int RegisterServer(const std::string& FileName);
int UnregisterServer(const std::string& FileName);

// Each 0 or 107/108 (109 missing file, 110 missing export). A server that crashes inside
// its entry point gives 107/108 instead of taking the process down.
int CallDllServerEntry(const std::string& FileName, bool Unregister);
int RegisterTypeLibFile(const std::string& FileName, bool Unregister);
int RunExeServerSwitch(const std::string& FileName, bool Unregister);
#endif
