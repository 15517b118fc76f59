#include <windows.h>

#include "ui/application.h"
#include "win/dll_search.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictDllSearchToSystem();
  return Application::Run();
}
