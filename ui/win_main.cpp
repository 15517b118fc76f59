#include <windows.h>

#include "ui/application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return Application::Run(); }
