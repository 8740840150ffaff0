/* Extension functions for the extension runner's tests. Each stdcall export takes the
   six arguments of the extension interface. The ones that go on write a new folder made
   of the user name and company into the folder buffer, so a test sees both directions. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) { return TRUE; }

static void WriteFolder(char* folder, const char* user, const char* company) {
  lstrcpyA(folder, "C:\\Chosen\\");
  lstrcatA(folder, user);
  lstrcatA(folder, "\\");
  lstrcatA(folder, company);
}

#define EXT(name, value)                                                                      \
  __declspec(dllexport) DWORD __stdcall name(HWND parent, HWND dialog, char* folder,         \
                                             const char* support, const char* user,          \
                                             const char* company) {                          \
    WriteFolder(folder, user, company);                                                       \
    return value;                                                                             \
  }

EXT(Return0, 0)
EXT(Return1, 1)
EXT(Return2, 2)
EXT(Return65536, 65536)

/* Hands back the support folder and both window handles as the new folder. */
__declspec(dllexport) DWORD __stdcall EchoArgs(HWND parent, HWND dialog, char* folder, const char* support,
                                               const char* user, const char* company) {
  char was[1024];
  lstrcpynA(was, folder, sizeof was);
  wsprintfA(folder, "%s|%lu|%lu|%s", was, (unsigned long)(ULONG_PTR)parent,
            (unsigned long)(ULONG_PTR)dialog, support);
  return 1;
}

/* Fills the whole buffer, leaving no terminating zero. */
__declspec(dllexport) DWORD __stdcall FillBuffer(HWND parent, HWND dialog, char* folder, const char* support,
                                                 const char* user, const char* company) {
  int i;
  for (i = 0; i < 1024; ++i) folder[i] = 'x';
  return 1;
}

__declspec(dllexport) DWORD __stdcall Fault(HWND parent, HWND dialog, char* folder, const char* support,
                                            const char* user, const char* company) {
  volatile int* volatile nowhere = 0;
  *nowhere = 1;
  return 1;
}

/* The author forgot the calling convention: the caller's arguments stay on the stack. */
__declspec(dllexport) DWORD __cdecl CdeclFunction(HWND parent, HWND dialog, char* folder, const char* support,
                                                  const char* user, const char* company) {
  WriteFolder(folder, user, company);
  return 1;
}

/* Declares fewer arguments than the interface passes: pops too little. */
__declspec(dllexport) DWORD __stdcall TwoArguments(HWND parent, HWND dialog) { return 1; }

/* Declares more arguments than the interface passes, and writes into the extra ones. */
__declspec(dllexport) DWORD __stdcall EightArguments(HWND parent, HWND dialog, char* folder, const char* support,
                                                     const char* user, const char* company, DWORD seventh,
                                                     DWORD eighth) {
  volatile DWORD* extra = &seventh;
  extra[0] = 0xDEADBEEF;
  extra[1] = 0xDEADBEEF;
  return 1;
}
