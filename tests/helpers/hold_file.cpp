// hold_file <path> <event>: opens the file sharing nothing, signals the named event, and keeps the
// file open until it is ended.

#include <windows.h>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const HANDLE file =
      ::CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  const HANDLE held = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
  if (held == nullptr) return 1;
  (void)::SetEvent(held);
  ::Sleep(INFINITE);
  return 0;
}
