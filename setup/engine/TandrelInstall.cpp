// The setup engine's program: install mode, or uninstall mode with "/UNINST=".
#include <windows.h>

#include <cstdlib>

#include "setup/engine/InstallMain.h"
#include "setup/uninstall/UnInst.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // No main message loop: each mode runs its forms modally.
  std::exit(EngineMain(RunUninstall));
}
