#include "ui/application.h"

namespace {
Application* currentApplication = nullptr;
}

Application::Application() { currentApplication = this; }

Application::~Application() {
  if (currentApplication == this) currentApplication = nullptr;
}

Application* Application::Current() { return currentApplication; }

int Application::Run() {
  Application* application = Current();
  if (application == nullptr) return 0;
  (void)application->InitInstance();
  return application->exitCode_;
}

HINSTANCE ResourceInstance() { return ::GetModuleHandleA(nullptr); }
