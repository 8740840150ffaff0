/* A program extension: waits the milliseconds given first, then writes the file named
   second, and ends with exit code 7. */
#include <windows.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  HANDLE h;
  DWORD written;
  if (argc < 3) return 1;
  Sleep((DWORD)atoi(argv[1]));
  h = CreateFileA(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  if (h == INVALID_HANDLE_VALUE) return 2;
  WriteFile(h, "done", 4, &written, NULL);
  CloseHandle(h);
  return 7;
}
