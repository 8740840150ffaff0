// The builder's program block: the application object, the main window, the message loop.
// The builder reads no command-line arguments.
#include <windows.h>

#include "builder/shell/MainForm.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunBuilder(); }
