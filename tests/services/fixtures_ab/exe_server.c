/* A program server and general test program.
     /regserver, /unregserver   set or remove HKCU\Software\TandrelSelfRegTest "Exe"
                                (the value holds the command line it was given)
     /exit N                    ends with exit code N
     /touch MS FILE             waits MS milliseconds, then creates FILE */
#include <windows.h>
#include <stdlib.h>
#include <string.h>

#define MARKER_KEY "Software\\TandrelSelfRegTest"

int main(int argc, char** argv) {
  HKEY key;
  if (argc >= 2 && lstrcmpiA(argv[1], "/regserver") == 0) {
    const char* line = GetCommandLineA();
    if (RegCreateKeyExA(HKEY_CURRENT_USER, MARKER_KEY, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) == 0) {
      RegSetValueExA(key, "Exe", 0, REG_SZ, (const BYTE*)line, (DWORD)strlen(line) + 1);
      RegCloseKey(key);
    }
    return 0;
  }
  if (argc >= 2 && lstrcmpiA(argv[1], "/unregserver") == 0) {
    Sleep(300); /* the caller must wait for us */
    if (RegOpenKeyExA(HKEY_CURRENT_USER, MARKER_KEY, 0, KEY_ALL_ACCESS, &key) == 0) {
      RegDeleteValueA(key, "Exe");
      RegCloseKey(key);
    }
    return 0;
  }
  if (argc >= 3 && strcmp(argv[1], "/exit") == 0) return atoi(argv[2]);
  if (argc >= 4 && strcmp(argv[1], "/touch") == 0) {
    HANDLE h;
    Sleep((DWORD)atoi(argv[2]));
    h = CreateFileA(argv[3], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    return 0;
  }
  return 99;
}
