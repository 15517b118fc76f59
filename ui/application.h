#pragma once

#include <windows.h>

// The process's one application object. The derived class is instantiated once, statically; the
// program's entry point then runs its InitInstance, and the process ends when that returns.
class Application {
 public:
  Application();
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Returns FALSE when the application has done its work and no message loop is to follow.
  virtual BOOL InitInstance() = 0;

  static Application* Current();

  // Runs the current application; the result is the process's exit code.
  static int Run();

 protected:
  // The exit code the process ends with when InitInstance returns; 0 unless set.
  void SetExitCode(int exitCode) { exitCode_ = exitCode; }

 private:
  int exitCode_ = 0;
};

// The module whose resources the dialogs and icons come from.
HINSTANCE ResourceInstance();
