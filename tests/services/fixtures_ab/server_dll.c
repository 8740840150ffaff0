/* A DLL server for the self-registration tests. Its registration leaves a marker value
   under HKCU\Software\TandrelSelfRegTest so a test sees that the entry point ran.
   SERVER_RESULT: what both entry points return; SERVER_CRASH: they fault instead;
   SERVER_NO_EXPORTS: no registration entry points at all. */
#include <windows.h>

#define MARKER_KEY "Software\\TandrelSelfRegTest"

#ifndef SERVER_RESULT
#define SERVER_RESULT 0
#endif

static void Fault(void);

/* SERVER_ATTACH_CRASH / SERVER_DETACH_CRASH: the module's own load or unload code faults. */
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
#ifdef SERVER_ATTACH_CRASH
  if (reason == DLL_PROCESS_ATTACH) Fault();
#endif
#ifdef SERVER_DETACH_CRASH
  if (reason == DLL_PROCESS_DETACH && !reserved) Fault();
#endif
  return TRUE;
}

static void Fault(void) {
  volatile int* volatile nowhere = 0;
  *nowhere = 1;
}

#ifdef SERVER_NO_EXPORTS
__declspec(dllexport) int __stdcall SomethingElse(void) { return 0; }
#else

__declspec(dllexport) HRESULT __stdcall DllRegisterServer(void) {
  HKEY key;
#ifdef SERVER_CRASH
  Fault();
#endif
  if (RegCreateKeyExA(HKEY_CURRENT_USER, MARKER_KEY, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) == 0) {
    DWORD one = 1;
    RegSetValueExA(key, "Dll", 0, REG_DWORD, (const BYTE*)&one, sizeof one);
    RegCloseKey(key);
  }
  return SERVER_RESULT;
}

__declspec(dllexport) HRESULT __stdcall DllUnregisterServer(void) {
  HKEY key;
#ifdef SERVER_CRASH
  Fault();
#endif
  if (RegOpenKeyExA(HKEY_CURRENT_USER, MARKER_KEY, 0, KEY_ALL_ACCESS, &key) == 0) {
    RegDeleteValueA(key, "Dll");
    RegCloseKey(key);
  }
  return SERVER_RESULT;
}
#endif
